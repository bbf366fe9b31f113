// Adding and deleting devices, backing up and restoring the user database.
#include "app/main_form.h"

#include "app/add_form.h"
#include "app/app_windows.h"
#include "app/dialog_service.h"
#include "app/popup_form.h"
#include "app/program_log.h"
#include "db/backup_restore.h"
#include "i18n/format_pattern.h"
#include "i18n/strings_main.h"

#include <QApplication>
#include <QFileInfo>
#include <QTreeWidget>

namespace {

const QString kBackupFilter = QStringLiteral("Backupdatei (*.dbb);;Alle Dateien (*)");

// Restores the normal cursor however the command ends.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

QString WithBackupExtension(const QString& file) {
    return QFileInfo(file).suffix().isEmpty() ? file + QStringLiteral(".dbb") : file;
}

QString BackupFailureText(const TBackupResult& result) {
    if (result.Error == beTargetIsDatabase)
        return rs_main::rsdiesicherung.Text();
    return FormatResource(rs_main::rsdatensicheru2.Text(), {result.Detail});
}

QString RestoreFailureText(const TBackupResult& result, const QString& file) {
    switch (result.Error) {
    case beNotADatabase:
        return FormatResource(rs_main::rsdiedateiistk.Text(), {file});
    case beMissingTables:
        return FormatResource(rs_main::rsinderdateife.Text(), {result.Detail});
    default:
        return FormatResource(rs_main::rsrcksicherung2.Text(), {result.Detail});
    }
}

} // namespace

void TMainForm::MenuItemAddNodeClick() {
    TAddForm* add = AppWindows().AddForm;
    if (!add)
        return;
    add->Fill(NodeManager_->AddNodeList(OemInfo_->GetValue(QStringLiteral("devices")), Language_));
    add->disconnect(this);
    connect(add, &QDialog::finished, this,
            [this](int result) { Guarded([&] { AddFormFinished(result); }); });
    add->open();
}

void TMainForm::AddFormFinished(int result) {
    TAddForm* add = AppWindows().AddForm;
    if (result != QDialog::Accepted || !add)
        return;
    TWaitCursor wait;
    NodeManager_->SetCurrentSegmentId(CurrentSegmentId_);
    NodeManager_->SetProgress(AppWindows().PopupForm);
    NodeManager_->SetProgressCaption(rs_main::rsaddnode.Text());
    NodeManager_->AddNodeFromTemplate(add->Tag());
    BuildTree(CurrentSegmentId_);
}

void TMainForm::MenuItemDelNodeClick() {
    QTreeWidgetItem* item = NodeTreeView_->itemAt(LastMousePos_);
    if (!item || !item->parent())
        return;
    if (item->parent()->parent())
        item = item->parent();
    const QString question =
        rs_main::rsdeleteentry.Text() + QLatin1Char(' ') + item->text(0) + QLatin1Char('?');
    if (!TDialogService::Instance().Question(this, ProgName(), question))
        return;
    NodeManager_->DeleteDevice(item->data(0, Qt::UserRole).toInt());
    BuildTree(CurrentSegmentId_);
}

void TMainForm::MenuItemBackupClick() {
    Db_->SQLQuery1.Close();
    Db_->SQLQuery2.Close();
    const QString chosen = TDialogService::Instance().SaveFileName(
        this, QStringLiteral("Backup sichern in"), Settings_.BackupPath, kBackupFilter);
    if (chosen.isEmpty())
        return;
    const QString file = WithBackupExtension(chosen);
    const TBackupResult result = BackupUserDatabase(*Db_, file);
    if (!result.Ok()) {
        TDialogService::Instance().ShowError(this, ProgName(), BackupFailureText(result));
        return;
    }
    Settings_.BackupPath = QFileInfo(file).absolutePath();
}

void TMainForm::MenuItemRestoreClick() {
    Db_->SQLQuery1.Close();
    Db_->SQLQuery2.Close();
    TDialogService& dialogs = TDialogService::Instance();
    if (!dialogs.Question(this, ProgName(), rs_main::rsrestoreerset.Text()))
        return;
    const QString file = dialogs.OpenFileName(this, QStringLiteral("Backup zurücksichern von"),
                                              Settings_.BackupPath, kBackupFilter);
    if (file.isEmpty())
        return;
    const TBackupResult result = RestoreUserDatabase(*Db_, file);
    if (!result.Ok())
        dialogs.ShowError(this, ProgName(), RestoreFailureText(result, file));
    LogLine(QStringLiteral("REFRESH NodeTree"));
    RefreshInProgress_ = true;
    BuildTree(CurrentSegmentId_);
    QApplication::processEvents();
    RefreshInProgress_ = false;
}
