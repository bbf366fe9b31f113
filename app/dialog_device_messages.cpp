#include "app/dialog_device_messages.h"

#include "app/dialog_service.h"

#include <QMessageBox>

void TDialogDeviceMessages::ShowMessage(const QString& text) {
    TDialogService::Instance().ShowMessage(Parent_, Caption_, text);
}

bool TDialogDeviceMessages::ConfirmWarning(const QString& title, const QString& text) {
    TDialogService& dialogs = TDialogService::Instance();
    // In test mode the queued answer decides, as for every other question.
    if (dialogs.TestMode())
        return dialogs.Question(Parent_, title, text);
    return QMessageBox::warning(Parent_, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel) == QMessageBox::Ok;
}
