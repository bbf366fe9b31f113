#include "app/device_info.h"

#include <QStringList>

QString DeviceInfoMessage(const TDeviceInfo& info) {
    const QStringList lines{
        QStringLiteral("DeviceInfo:"),
        QString(),
        QStringLiteral("ID: ") + QString::number(info.DeviceType),
        QStringLiteral("Variante: ") + QString::number(info.Variant),
        QStringLiteral("OEM: ") + QString::number(info.Oem),
        QStringLiteral("HWVER: ") + QChar::fromLatin1(info.HardwareVersion),
        QStringLiteral("SWVER: ") +
            QStringLiteral("%1").arg(info.SoftwareVersion, 4, 16, QLatin1Char('0')).toUpper(),
        QStringLiteral("Parasatz: ") + QString::number(info.ParameterSet),
        QStringLiteral("Adresse: ") + QString::number(info.Address),
        QStringLiteral("RFID: ") + info.Rfid,
        QStringLiteral("Hersteller: ") + info.Maker.trimmed() + QStringLiteral(", Geraetename: ") +
            info.DeviceName.trimmed(),
        QStringLiteral("Messstelle: ") + info.MeasuringPoint.trimmed(),
    };
    return lines.join(QStringLiteral("\r\n"));
}
