#pragma once

#include <QString>

// The messages of the device passes as the passes see them; the application shows them through
// its dialog service, tests record them and give the answers.
class TDeviceMessages {
public:
    virtual ~TDeviceMessages() = default;
    virtual void ShowMessage(const QString& text) = 0;
    // A warning with OK and Cancel; true for OK.
    virtual bool ConfirmWarning(const QString& title, const QString& text) = 0;
};
