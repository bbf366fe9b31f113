#pragma once

#include "app/translated_dialog.h"
#include "devcomm/device_diagnostics.h"

#include <QTimer>
#include <memory>
#include <vector>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// What the device diagnostics window needs besides the device: the template database's query,
// the option lists and the template texts of the current language.
struct TDeviceDiagSources {
    TDbQuery* TemplateQuery = nullptr;
    const TOptionListTable* OptionLists = nullptr;
    TCaptionLookup LookupText;
};

// The device diagnostics window: name, firmware and measuring point of the connected device and
// one line per diagnostic value of its type, refreshed every 500 ms while the window is shown.
// The controls of the values are made per showing from the rows TDeviceDiagnostics chose.
class TDeviceDiagForm : public TTranslatedDialog {
    Q_OBJECT
public:
    explicit TDeviceDiagForm(QWidget* parent = nullptr);
    ~TDeviceDiagForm() override;

    void SetDevice(TDeviceContext* context, TDeviceInfo* info, TDeviceDiagSources sources);
    void SetCaption(const QString& caption) { Caption_ = caption; }

    void FormShow();
    void FormHide();
    void Timer1Timer();

    QTimer& Timer1() { return Timer1_; }
    QLabel* TitleLabel() const { return TitleLabel_; }
    QLabel* FirmwareLabel() const { return FirmwareLabel_; }
    QLabel* MessstellenLabel() const { return MessstellenLabel_; }
    const std::vector<QLabel*>& CaptionLabels() const { return Captions_; }
    const std::vector<QLabel*>& ValueLabels() const { return Values_; }
    const std::vector<QPlainTextEdit*>& Memos() const { return Memos_; }
    bool Polling() const { return Diagnostics_ != nullptr; }

protected:
    void ApplyTexts() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void RemoveRowControls();
    void BuildRowControls();
    void ShowIdentification();
    void ResetLayout();
    int CaptionWidth() const;

    QString Caption_;
    TDeviceContext* Context_ = nullptr;
    TDeviceInfo* Info_ = nullptr;
    TDeviceDiagSources Sources_;
    std::unique_ptr<TDeviceDiagnostics> Diagnostics_;
    QTimer Timer1_;
    bool InTimer_ = false;
    bool HidePending_ = false;

    QLabel* TitleLabel_ = nullptr;
    QLabel* FirmwareCaption_ = nullptr;
    QLabel* FirmwareLabel_ = nullptr;
    QLabel* MessstellenCaption_ = nullptr;
    QLabel* MessstellenLabel_ = nullptr;
    QFrame* Bevel1_ = nullptr;
    QPushButton* CloseButton_ = nullptr;
    std::vector<QLabel*> Captions_;
    std::vector<QLabel*> Values_;
    std::vector<QPlainTextEdit*> Memos_;
};
