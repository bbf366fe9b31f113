#pragma once

#include "devcomm/device_messages.h"

class QWidget;

// The device passes' messages as message boxes of the program's dialog service, titled with the
// brand's program name.
class TDialogDeviceMessages : public TDeviceMessages {
public:
    explicit TDialogDeviceMessages(QWidget* parent) : Parent_(parent) {}

    void SetCaption(const QString& caption) { Caption_ = caption; }
    void ShowMessage(const QString& text) override;
    bool ConfirmWarning(const QString& title, const QString& text) override;

private:
    QWidget* Parent_;
    QString Caption_;
};
