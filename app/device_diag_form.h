#pragma once

#include <QDialog>

// The device diagnostics window: live values of the selected device.
class TDeviceDiagForm : public QDialog {
    Q_OBJECT
public:
    explicit TDeviceDiagForm(QWidget* parent = nullptr);
};
