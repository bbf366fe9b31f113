#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TOemInfo;

// The about box, also the start-up information window: brand logo, program name, subtitle,
// version, company address and the check box that decides whether it shows at start.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    // Fills the box for the selected brand; startInfo sets the check box.
    void Fill(const TOemInfo& oem, bool startInfo);
    bool StartInfoChecked() const;

private:
    QLabel* Image1_;
    QLabel* LabelTitle_;
    QLabel* LabelDescription_;
    QLabel* LabelVersion_;
    QPlainTextEdit* Memo1_;
    QCheckBox* CheckBoxStartinfo_;
    QPushButton* Button1_;
};
