#pragma once

#include "app/start_environment.h"

#include <memory>

class TMainForm;
class TAddForm;
class TAboutForm;
class TPopupForm;
class TModbusDiagForm;
class TDeviceDiagForm;
class TSettingsForm;
class TAddressForm;

// The program's eight windows, each created once; reached from anywhere through AppWindows().
struct TAppWindows {
    TMainForm* MainForm = nullptr;
    TAddForm* AddForm = nullptr;
    TAboutForm* AboutForm = nullptr;
    TPopupForm* PopupForm = nullptr;
    TModbusDiagForm* ModbusDiagForm = nullptr;
    TDeviceDiagForm* DeviceDiagForm = nullptr;
    TSettingsForm* SettingsForm = nullptr;
    TAddressForm* AddressForm = nullptr;
};

TAppWindows& AppWindows();

// Creates the windows in their fixed order, the main window first; the dialogs belong to the main
// window and go with it. The registry is cleared when the main window is destroyed.
std::unique_ptr<TMainForm> CreateAppWindows(const TStartEnvironment& env);
