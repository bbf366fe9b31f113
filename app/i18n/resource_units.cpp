#include "i18n/resource_units.h"

#include "i18n/strings_about.h"
#include "i18n/strings_address.h"
#include "i18n/strings_devicediag.h"
#include "i18n/strings_main.h"
#include "i18n/strings_modbusdiag.h"
#include "i18n/strings_settings.h"

const std::vector<TResourceUnit*>& AllResourceUnits() {
    static const std::vector<TResourceUnit*> units{
        &rs_main::Unit(),       &rs_about::Unit(),    &rs_modbusdiag::Unit(),
        &rs_devicediag::Unit(), &rs_settings::Unit(), &rs_address::Unit(),
    };
    return units;
}

TResourceUnit* FindResourceUnit(QStringView name) {
    for (TResourceUnit* unit : AllResourceUnits()) {
        if (name == QLatin1StringView(unit->Name()))
            return unit;
    }
    return nullptr;
}
