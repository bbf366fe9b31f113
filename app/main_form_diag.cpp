// The Diagnostic menu: the device diagnostics window and the Modbus diagnostics window of a
// device's service interface, both shown modally over the main window.
#include "app/main_form.h"

#include "app/app_windows.h"
#include "app/device_diag_form.h"
#include "app/modbus_diag_form.h"

#include <QAction>

void TMainForm::SetupDiagnosticCommands() {
    if (QAction* device = findChild<QAction*>(QStringLiteral("MenuItemDiagDevice")))
        connect(device, &QAction::triggered, this,
                [this] { Guarded(&TMainForm::MenuItemDiagDeviceClick); });
    connect(MenuItemDiagModbus_, &QAction::triggered, this,
            [this] { Guarded(&TMainForm::MenuItemDiagModbusClick); });
}

bool TMainForm::PrepareDiagnostics() {
    TModbusSetting& setting = Settings_.Modbus;
    if (setting.Protocol == ProtocolRTU || setting.Protocol == ProtocolTCP) {
        const std::optional<int> address = AskAddress(setting.Address);
        if (!address)
            return false;
        setting.Address = *address;
        Connection_.SetAddress(*address);
    }
    SelectNodeByAddress(setting.Address);
    PrepareDeviceContext();
    return true;
}

void TMainForm::MenuItemDiagDeviceClick() {
    TDeviceDiagForm* form = AppWindows().DeviceDiagForm;
    if (!form || !PrepareDiagnostics())
        return;
    TDeviceDiagSources sources;
    sources.TemplateQuery = &Db_->SQLQueryTpl;
    sources.OptionLists = &OptionListTable_;
    sources.LookupText = [this](int id) { return LookupText(id); };
    form->SetDevice(&DeviceContext_, &DeviceInfo_, std::move(sources));
    form->SetCaption(windowTitle());
    // Modal without a nested event loop: the window's timer and the device requests run in the
    // program's own loop.
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
}

void TMainForm::MenuItemDiagModbusClick() {
    TModbusDiagForm* form = AppWindows().ModbusDiagForm;
    if (!form || !PrepareDiagnostics())
        return;
    form->SetDevice(&DeviceContext_, &DeviceInfo_);
    form->SetCaption(windowTitle());
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
}
