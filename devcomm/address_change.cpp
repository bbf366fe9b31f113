#include "devcomm/address_change.h"

#include "db/sql_text.h"
#include "devcomm/identify_device.h"

#include <QStringList>

namespace {

// The node condition of the statements. Without identification text the text would match
// every node that has none, so the device is then taken by its type and former address.
QString NodeCondition(TDatabaseSet& db, const TDeviceInfo& info, int oldAddress) {
    if (!info.Rfid.trimmed().isEmpty())
        return QStringLiteral("rfid=") + SqlQuote(info.Rfid);
    TDbQuery& q = db.SQLQuery1;
    q.Open(QStringLiteral("SELECT id FROM mb_node WHERE parentID=0 AND rfid='' AND devid='") +
               DeviceTypeCode(info) + QStringLiteral("' AND addr=") + QString::number(oldAddress),
           1);
    const int id = q.Eof() ? -1 : q.FieldAsInteger(QStringLiteral("id"));
    q.Close();
    return QStringLiteral("id=") + QString::number(id);
}

} // namespace

QStringList AddressStatements(TDatabaseSet& db, const TDeviceInfo& info, int oldAddress) {
    const QString address = QString::number(info.Address);
    const QString node = NodeCondition(db, info, oldAddress);
    return {QStringLiteral("UPDATE mb_node SET addr=") + address + QStringLiteral(" WHERE ") + node,
            QStringLiteral("UPDATE mb_parameter SET value=") + address +
                QStringLiteral(" WHERE pid=(SELECT id FROM mb_node WHERE ") + node +
                QStringLiteral(") AND modreg=45010")};
}

TAddressOutcome ChangeDeviceAddress(TDatabaseSet& db, TDeviceContext& context, TDeviceInfo& info,
                                    int oldAddress, int newAddress) {
    TDeviceLink& link = context.Link;
    db.Hooks().Log(
        QStringLiteral("Adressänderung von: %1 nach: %2").arg(oldAddress).arg(newAddress));
    link.SetAddress(oldAddress);
    if (!IdentifyDevice(context, info)) {
        context.Messages.ShowMessage(context.Texts.NoDeviceFound);
        return aoNoDevice;
    }
    link.OpenConnection();
    context.LastWriteFunction = 6;
    const TProtocolIOResult written =
        link.WriteBlock(link.Station(), 6, 5009, {static_cast<uint16_t>(newAddress)});
    if (CheckWriteResult(context, written) != ioOk) {
        link.CloseConnection();
        return aoWriteFailed;
    }
    link.SetAddress(newAddress);
    link.Settle();
    const QString rfid = info.Rfid;
    const TDeviceInfo before = info;
    if (!IdentifyDevice(context, info)) {
        context.Messages.ShowMessage(context.Texts.NoDeviceFound);
        link.CloseConnection();
        return aoNoDeviceAtNewAddress;
    }
    if (info.Rfid != rfid) {
        context.Messages.ShowMessage(context.Texts.AddressChangeFailed);
        link.CloseConnection();
        return aoOtherDevice;
    }
    link.CloseConnection();
    const QStringList statements = AddressStatements(db, info, before.Address);
    db.SQLite3Con.Execute(statements[0], 1);
    db.SQLite3Con.Execute(statements[1], 2);
    return aoDone;
}
