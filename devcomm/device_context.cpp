#include "devcomm/device_context.h"

TProtocolIOResult CheckResult(TDeviceContext& context, TProtocolIOResult result,
                              const QString& prefix) {
    if (result != ioOk && context.ServiceMode) {
        context.Messages.ShowMessage(prefix + QString::fromLatin1(ProtocolIOResultText(result)) +
                                     QStringLiteral(" (") + context.Link.DriverName() +
                                     QStringLiteral(")"));
        context.Link.Detach();
    }
    return result;
}

bool TLinkRegisterSource::ReadRegisters(int startRegister, int count,
                                        std::vector<uint16_t>& registers) {
    // Register numbers of the databases count from 40001; the protocol counts from 0.
    if (!Context_.Link.OpenConnection() || startRegister < 40001)
        return false;
    const TProtocolIOResult result =
        Context_.Link.ReadBlock(Context_.Link.Station(), startRegister - 40001, count, registers);
    return CheckReadResult(Context_, result) == ioOk;
}
