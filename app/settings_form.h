#pragma once

#include "app/translated_dialog.h"
#include "devcomm/modbus_setting.h"

#include <QStringList>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// The communication settings dialog: the way to the devices (service interface, Modbus RTU or
// Modbus TCP) with the fields of that way. Filled from the settings record; what the user chose
// is handed back as the dialog's choice, which the settings rules turn into a record.
class TSettingsForm : public TTranslatedDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* parent = nullptr);

    // The caption while the communication command shows the dialog; empty for the dialog's own
    // translated title.
    void SetCaption(const QString& caption);

    // Puts the record on the dialog; portItems is the serial port list ("-" first).
    void Fill(const TModbusSetting& setting, const QStringList& portItems);
    TSettingsDialogChoice Choice() const;

    // Enables the fields of the selected way (each label with its field).
    void RadioButtonRTUChange();

    QRadioButton* RadioButtonDevice() const { return RadioButtonDevice_; }
    QRadioButton* RadioButtonRTU() const { return RadioButtonRTU_; }
    QRadioButton* RadioButtonTCP() const { return RadioButtonTCP_; }
    QLineEdit* EditHost() const { return EditHost_; }
    QLineEdit* EditPort() const { return EditPort_; }
    QComboBox* ComboBoxComPort() const { return ComboBoxComPort_; }
    QComboBox* ComboBoxBaudRate() const { return ComboBoxBaudRate_; }
    QComboBox* ComboBoxParity() const { return ComboBoxParity_; }
    QSpinBox* SpinEditTimeout() const { return SpinEditTimeout_; }

protected:
    void ApplyTexts() override;

private:
    void BuildWidgets();
    QLabel* NewLabel(const char* name);

    QString Caption_;
    QLabel* LabelTitle_ = nullptr;
    QLabel* LabelProtocol_ = nullptr;
    QRadioButton* RadioButtonDevice_ = nullptr;
    QRadioButton* RadioButtonRTU_ = nullptr;
    QRadioButton* RadioButtonTCP_ = nullptr;
    QLabel* LabelHost_ = nullptr;
    QLineEdit* EditHost_ = nullptr;
    QLabel* LabelPort_ = nullptr;
    QLineEdit* EditPort_ = nullptr;
    QLabel* LabelComPort_ = nullptr;
    QComboBox* ComboBoxComPort_ = nullptr;
    QLabel* LabelBaudRate_ = nullptr;
    QComboBox* ComboBoxBaudRate_ = nullptr;
    QLabel* LabelParity_ = nullptr;
    QComboBox* ComboBoxParity_ = nullptr;
    QLabel* LabelTimeout_ = nullptr;
    QSpinBox* SpinEditTimeout_ = nullptr;
    QLabel* LabelMs_ = nullptr;
    QDialogButtonBox* Buttons_ = nullptr;
};
