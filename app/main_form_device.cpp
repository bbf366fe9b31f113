// The device commands: connection settings, reading from and writing to a device, changing its
// station address.
#include "app/main_form.h"

#include "app/address_form.h"
#include "app/app_windows.h"
#include "app/dialog_service.h"
#include "app/image_list_icon16.h"
#include "app/popup_form.h"
#include "app/settings_form.h"
#include "devcomm/address_change.h"
#include "devcomm/device_read_pass.h"
#include "devcomm/device_write_pass.h"
#include "i18n/strings_main.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace {

constexpr int kIdRole = Qt::UserRole;

// Restores the normal cursor and closes the progress window however a pass ends.
class TPassScope {
public:
    explicit TPassScope(TProgressSink* progress) : Progress_(progress) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TPassScope() {
        if (Progress_)
            Progress_->FinishProgress();
        QApplication::restoreOverrideCursor();
    }
    TPassScope(const TPassScope&) = delete;
    TPassScope& operator=(const TPassScope&) = delete;

private:
    TProgressSink* Progress_;
};

// The device item of a tree item: a sub-node's parent; none for the segment item.
QTreeWidgetItem* DeviceItemOf(QTreeWidgetItem* item) {
    if (!item || !item->parent())
        return nullptr;
    return item->parent()->parent() ? item->parent() : item;
}

} // namespace

void TMainForm::SetupDeviceCommands() {
    const auto on = [this](const char* name, void (TMainForm::*handler)(bool), bool fromPopup) {
        for (QAction* action : findChildren<QAction*>(QLatin1String(name)))
            connect(action, &QAction::triggered, this,
                    [this, handler, fromPopup] { Guarded([&] { (this->*handler)(fromPopup); }); });
    };
    on("MenuItemReadFromDevice", &TMainForm::SpeedButtonReadFromDeviceClick, false);
    on("PopupItemReadFromDevice", &TMainForm::SpeedButtonReadFromDeviceClick, true);
    on("MenuItemWriteToDevice", &TMainForm::SpeedButtonWriteToDeviceClick, false);
    on("PopupItemWriteToDevice", &TMainForm::SpeedButtonWriteToDeviceClick, true);
    on("MenuItemChangeAddress", &TMainForm::MenuItemChangeAddrClick, false);
    on("PopupItemChangeAddress", &TMainForm::MenuItemChangeAddrClick, true);
    connect(SpeedButtonReadFromDevice_, &QToolButton::clicked, this,
            [this] { Guarded([this] { SpeedButtonReadFromDeviceClick(false); }); });
    connect(SpeedButtonWriteToDevice_, &QToolButton::clicked, this,
            [this] { Guarded([this] { SpeedButtonWriteToDeviceClick(false); }); });
    if (QAction* communication = findChild<QAction*>(QStringLiteral("MenuItemCommunication")))
        connect(communication, &QAction::triggered, this,
                [this] { Guarded(&TMainForm::MenuItemCommunicationClick); });
    Connection_.OnError = [this](const QString& text) {
        TDialogService::Instance().ShowError(this, ProgName(), text);
    };
}

void TMainForm::ApplyConnectionSettings(const TModbusSetting& setting) {
    Settings_.Modbus = setting;
    Connection_.SetPacketLogPath(PacketLogEnabled() ? ServiceLogPath() : QString());
    const TConnectionStatus status =
        Connection_.ApplyConnectionSettings(setting, rs_main::rsdevice.Text());
    StatusPanels_[1]->setText(status.Text);
    MenuItemDiagModbus_->setEnabled(status.ModbusDiagEnabled);
    MenuItemDiagModbus_->setIcon(TImageListIcon16::Instance().Icon(status.ModbusDiagImage));
    MenuItemDiagModbus_->setProperty("imageIndex", status.ModbusDiagImage);
}

void TMainForm::CloseConnection() {
    Connection_.CloseConnection();
}

void TMainForm::ShowConnectionStatus() {
    StatusPanels_[1]->setText(ConnectionStatusText(Settings_.Modbus, rs_main::rsdevice.Text()));
}

QString TMainForm::StatusPanelText(int panel) const {
    return StatusPanels_.at(static_cast<size_t>(panel))->text();
}

void TMainForm::MenuItemCommunicationClick() {
    TSettingsForm* form = AppWindows().SettingsForm;
    if (!form)
        return;
    QString caption = OemInfo_->GetValue(QStringLiteral("prog_name"));
    if (OemInfo_->GetFlag(QStringLiteral("add_company")))
        caption += QStringLiteral(" - ") + OemInfo_->GetValue(QStringLiteral("prog_company"));
    form->SetCaption(caption);
    form->Fill(Settings_.Modbus, SerialPortItems(ListSerialPorts()));
    const int result = form->exec();
    form->SetCaption(QString());
    if (result != QDialog::Accepted)
        return;
    ApplyConnectionSettings(SettingsFromDialog(Settings_.Modbus, form->Choice()));
    SaveSettings();
}

QTreeWidgetItem* TMainForm::CommandItem(bool fromPopup) const {
    return fromPopup ? NodeTreeView_->itemAt(LastMousePos_) : NodeTreeView_->currentItem();
}

std::optional<int> TMainForm::AskAddress(int proposed) {
    TAddressForm* form = AppWindows().AddressForm;
    if (!form)
        return std::nullopt;
    form->SetLayoutHeight(TAddressForm::kOneFieldHeight);
    form->SpinEditAddress()->setEnabled(true);
    form->SpinEditAddress()->setValue(proposed);
    if (form->exec() != QDialog::Accepted)
        return std::nullopt;
    return form->SpinEditAddress()->value();
}

void TMainForm::PrepareDeviceContext() {
    TDeviceTexts& texts = DeviceContext_.Texts;
    texts.NoDeviceFound = rs_main::rsnodevicefoun.Text();
    texts.ReadDevice = rs_main::rsreaddevice.Text();
    texts.WriteDevice = rs_main::rswritedevice.Text();
    texts.FreeAddress = rs_main::rserstadrfreim.Text();
    texts.NotPcMode = rs_main::rskeinpcmode.Text();
    texts.NodeNotFound = rs_main::rsselektiertes.Text();
    texts.TypeMismatch = rs_main::rsgeraetetypst.Text();
    texts.OtherDevice = rs_main::rsderdatensatz.Text();
    texts.AddressChangeFailed = rs_main::rsadressnderun.Text();
    texts.DeviceProtocol = rs_main::rsdevice.Text();
    DeviceContext_.ServiceMode = ServiceMode();
    DeviceMessages_.SetCaption(ProgName());
}

void TMainForm::SpeedButtonReadFromDeviceClick(bool fromPopup) {
    QTreeWidgetItem* item = CommandItem(fromPopup);
    if (!item)
        return;
    TModbusSetting& setting = Settings_.Modbus;
    if (setting.Protocol != ProtocolDevice) {
        const std::optional<int> address =
            AskAddress(ProposedAddress(item->text(0), setting.Address));
        if (!address)
            return;
        setting.Address = *address;
        Connection_.SetAddress(*address);
    }
    PrepareDeviceContext();
    TPopupForm* progress = AppWindows().PopupForm;
    TReadPassResult result;
    {
        TPassScope scope(progress);
        NodeManager_->SetCurrentSegmentId(CurrentSegmentId_);
        NodeManager_->SetProgress(progress);
        NodeManager_->SetProgressCaption(rs_main::rsaddnode.Text());
        TDeviceReadPass pass(*Db_, *NodeManager_, DeviceContext_, DeviceInfo_);
        pass.SetProgress(progress);
        pass.OnClearMemo = [this] { Memo1_->clear(); };
        result = pass.Run();
    }
    if (result.Outcome != roDone)
        return;
    RefreshInProgress_ = true;
    BuildTree(CurrentSegmentId_);
    ReselectNode(result.NodeId);
    QApplication::processEvents();
    RefreshInProgress_ = false;
}

void TMainForm::ReselectNode(int nodeId) {
    QTreeWidgetItem* segment = NodeTreeView_->topLevelItem(0);
    for (int i = 0; segment && i < segment->childCount(); ++i) {
        QTreeWidgetItem* device = segment->child(i);
        if (device->data(0, kIdRole).toInt() != nodeId)
            continue;
        if (NodeTreeView_->currentItem() == device)
            NodeTreeViewSelectionChanged();
        else
            NodeTreeView_->setCurrentItem(device);
        return;
    }
}

void TMainForm::SpeedButtonWriteToDeviceClick(bool fromPopup) {
    QTreeWidgetItem* device = DeviceItemOf(CommandItem(fromPopup));
    PrepareDeviceContext();
    if (!device) {
        DeviceMessages_.ShowMessage(DeviceContext_.Texts.NodeNotFound);
        return;
    }
    TPopupForm* progress = AppWindows().PopupForm;
    TPassScope scope(progress);
    TDeviceWritePass pass(*Db_, DeviceContext_, DeviceInfo_);
    pass.SetProgress(progress);
    pass.SetProgName(ProgName());
    pass.Run(device->data(0, kIdRole).toInt());
}

void TMainForm::MenuItemChangeAddrClick(bool fromPopup) {
    TAddressForm* form = AppWindows().AddressForm;
    if (!form)
        return;
    TModbusSetting& setting = Settings_.Modbus;
    int proposed = setting.Address;
    if (fromPopup) {
        if (QTreeWidgetItem* item = CommandItem(true))
            proposed = ProposedAddress(item->text(0), setting.Address);
    }
    form->SetLayoutHeight(TAddressForm::kTwoFieldHeight);
    form->SpinEditAddress()->setValue(proposed);
    form->SpinEditNewAddress()->setValue(proposed);
    // The service interface answers at its own station whatever address the device has.
    form->SpinEditAddress()->setEnabled(setting.Protocol == ProtocolRTU ||
                                        setting.Protocol == ProtocolTCP);
    if (form->exec() != QDialog::Accepted)
        return;
    PrepareDeviceContext();
    TAddressOutcome outcome = aoNoDevice;
    {
        TPassScope scope(nullptr);
        outcome =
            ChangeDeviceAddress(*Db_, DeviceContext_, DeviceInfo_, form->SpinEditAddress()->value(),
                                form->SpinEditNewAddress()->value());
    }
    setting.Address = Connection_.Setting().Address;
    if (outcome != aoDone)
        return;
    BuildTree(CurrentSegmentId_);
    QApplication::processEvents();
    SelectNodeByAddress(setting.Address);
}
