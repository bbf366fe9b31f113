#include "i18n/resource_string.h"

TResourceString::TResourceString(const char* name, const char* source)
    : Name_(name), Source_(source), Text_(QString::fromUtf8(source)) {}

TResourceUnit::TResourceUnit(const char* name, std::initializer_list<TResourceString*> strings)
    : Name_(name), Strings_(strings) {}

TResourceString* TResourceUnit::Find(QStringView name) const {
    for (TResourceString* string : Strings_) {
        if (name == QLatin1StringView(string->Name()))
            return string;
    }
    return nullptr;
}

void TResourceUnit::Reset() {
    for (TResourceString* string : Strings_)
        string->SetText(string->Source());
}
