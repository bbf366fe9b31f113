#include "app/app_windows.h"

#include "app/about_form.h"
#include "app/add_form.h"
#include "app/address_form.h"
#include "app/device_diag_form.h"
#include "app/main_form.h"
#include "app/modbus_diag_form.h"
#include "app/popup_form.h"
#include "app/settings_form.h"

TAppWindows& AppWindows() {
    static TAppWindows windows;
    return windows;
}

std::unique_ptr<TMainForm> CreateAppWindows(const TStartEnvironment& env) {
    auto main = std::make_unique<TMainForm>(env);
    TAppWindows& w = AppWindows();
    w.MainForm = main.get();
    w.AddForm = new TAddForm(main.get());
    w.AboutForm = new TAboutForm(main.get());
    w.PopupForm = new TPopupForm(main.get());
    w.ModbusDiagForm = new TModbusDiagForm(main.get());
    w.DeviceDiagForm = new TDeviceDiagForm(main.get());
    w.SettingsForm = new TSettingsForm(main.get());
    w.AddressForm = new TAddressForm(main.get());
    QObject::connect(main.get(), &QObject::destroyed, [] { AppWindows() = TAppWindows(); });
    return main;
}
