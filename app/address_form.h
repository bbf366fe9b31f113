#pragma once

#include "app/translated_dialog.h"

class QDialogButtonBox;
class QFrame;
class QLabel;
class QSpinBox;

// The small address dialog: the station address to talk to and, for the address change, the new
// address. The caller gives it its height before showing it; a height below 151 selects the
// one-field layout of the read and diagnostics commands.
class TAddressForm : public TTranslatedDialog {
    Q_OBJECT
public:
    static constexpr int kOneFieldHeight = 120;
    static constexpr int kTwoFieldHeight = 174;

    explicit TAddressForm(QWidget* parent = nullptr);

    // Sets the height and with it the layout.
    void SetLayoutHeight(int height);
    bool TwoFields() const { return Height_ >= 151; }

    QSpinBox* SpinEditAddress() const { return SpinEditAddress_; }
    QSpinBox* SpinEditNewAddress() const { return SpinEditNewAddress_; }

protected:
    void ApplyTexts() override;

private:
    void FormActivate();

    int Height_ = kOneFieldHeight;
    QLabel* LabelAddress_ = nullptr;
    QSpinBox* SpinEditAddress_ = nullptr;
    QLabel* LabelNewAddress_ = nullptr;
    QSpinBox* SpinEditNewAddress_ = nullptr;
    QFrame* Bevel1_ = nullptr;
    QDialogButtonBox* Buttons_ = nullptr;
};
