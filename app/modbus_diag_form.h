#pragma once

#include <QDialog>

// The Modbus diagnostics window of the device service interface.
class TModbusDiagForm : public QDialog {
    Q_OBJECT
public:
    explicit TModbusDiagForm(QWidget* parent = nullptr);
};
