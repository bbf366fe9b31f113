#pragma once

#include <QDialog>
#include <QString>

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

    // Prepares the box for the selected brand: caption, title and version line; the rest is
    // filled each time the box is shown, in the language then current.
    void Fill(const TOemInfo& oem, bool startInfo, const QString& language);
    bool StartInfoChecked() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Activate();

    const TOemInfo* Oem_ = nullptr;
    bool StartInfo_ = true;
    QString Language_;
    QLabel* Image1_;
    QLabel* LabelTitle_;
    QLabel* LabelDescription_;
    QLabel* LabelVersion_;
    QPlainTextEdit* Memo1_;
    QCheckBox* CheckBoxStartinfo_;
    QPushButton* Button1_;
};
