#pragma once

#include "devcomm/device_link.h"
#include "devcomm/device_messages.h"
#include "devcomm/device_texts.h"
#include "params/decode_parameter.h"

// What every device pass works with: the link to the device, the message interface, the
// (translated) texts and whether the program runs in service mode.
struct TDeviceContext {
    TDeviceLink& Link;
    TDeviceMessages& Messages;
    TDeviceTexts Texts;
    bool ServiceMode = false;
    // The write function the identification block last used: the closing command of a write
    // pass goes out with it (16 until an address change has used 6).
    int LastWriteFunction = 16;
};

// The result of a request as the passes check it: in service mode a failure is shown as
// prefix + the result's text + " (" + driver name + ")" and the link is detached.
TProtocolIOResult CheckResult(TDeviceContext& context, TProtocolIOResult result,
                              const QString& prefix);
inline TProtocolIOResult CheckReadResult(TDeviceContext& context, TProtocolIOResult result) {
    return CheckResult(context, result, QStringLiteral("READ-Error: "));
}
inline TProtocolIOResult CheckWriteResult(TDeviceContext& context, TProtocolIOResult result) {
    return CheckResult(context, result, QStringLiteral("WRITE-Error: "));
}

// Reads the registers of parameter rows from the device at the link's station.
class TLinkRegisterSource : public TRegisterSource {
public:
    explicit TLinkRegisterSource(TDeviceContext& context) : Context_(context) {}
    bool ReadRegisters(int startRegister, int count, std::vector<uint16_t>& registers) override;

private:
    TDeviceContext& Context_;
};
