#pragma once

#include "app/translated_dialog.h"
#include "devcomm/modbus_diagnostics.h"

#include <QTimer>
#include <memory>

class QLabel;
class QPushButton;
class QTableWidget;

// The Modbus diagnostics window of the device service interface: the device's bus settings, its
// telegram counters and the map of the station addresses it has seen on its bus, polled while
// the window is shown. The logic lives in TModbusDiagnostics; the window shows what it gives.
class TModbusDiagForm : public TTranslatedDialog {
    Q_OBJECT
public:
    explicit TModbusDiagForm(QWidget* parent = nullptr);
    ~TModbusDiagForm() override;

    // The device the next showing talks to; context and record must outlive the showings.
    void SetDevice(TDeviceContext* context, TDeviceInfo* info);
    // The window caption (the main window's).
    void SetCaption(const QString& caption) { Caption_ = caption; }

    void FormShow();
    void FormHide();
    void Timer1Timer();

    QTimer& Timer1() { return Timer1_; }
    QLabel* ModbusBaudLabel() const { return ModbusBaudLabel_; }
    QTableWidget* AdrMapStringGrid() const { return AdrMapStringGrid_; }
    QLabel* CounterTele() const { return CounterTele_; }
    QLabel* CounterTeleSum() const { return CounterTeleSum_; }
    QLabel* CounterError() const { return CounterError_; }
    QLabel* RefreshImage() const { return RefreshImage_; }
    bool Polling() const { return Diagnostics_ != nullptr; }

protected:
    void ApplyTexts() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void FormCreate();
    void BuildWidgets();
    TModbusDiagTexts Texts() const;
    void ShowCounters(const TBusCounters& counters);
    void ClearMap();
    void AdrMapStringGridDrawCell(int address, const QString& text);

    QString Caption_;
    TDeviceContext* Context_ = nullptr;
    TDeviceInfo* Info_ = nullptr;
    std::unique_ptr<TModbusDiagnostics> Diagnostics_;
    QTimer Timer1_;
    bool InTimer_ = false;
    bool HidePending_ = false;

    QLabel* TitleLabel_ = nullptr;
    QLabel* SettingsCaption_ = nullptr;
    QLabel* ModbusBaudLabel_ = nullptr;
    QLabel* MapCaption_ = nullptr;
    QTableWidget* AdrMapStringGrid_ = nullptr;
    QLabel* TeleCaption_ = nullptr;
    QLabel* TeleSumCaption_ = nullptr;
    QLabel* ErrorCaption_ = nullptr;
    QLabel* CounterTele_ = nullptr;
    QLabel* CounterTeleSum_ = nullptr;
    QLabel* CounterError_ = nullptr;
    QLabel* RestImage_ = nullptr;
    QLabel* RefreshImage_ = nullptr;
    QPushButton* CloseButton_ = nullptr;
};
