#include "modbus/tag_manager.h"

#include "modbus/io_types.h"
#include "modbus/plc_tag.h"

#include <algorithm>

TTagMananger::~TTagMananger() {
    for (TTag* tag : FTags)
        if (auto* plcTag = dynamic_cast<TPLCTag*>(tag))
            plcTag->ForgetManager();
}

TTagMananger& TTagMananger::Instance() {
    static TTagMananger instance;
    return instance;
}

bool TTagMananger::IsRegistered(const TTag* tag) const {
    return std::find(FTags.begin(), FTags.end(), tag) != FTags.end();
}

void TTagMananger::RegisterTag(TTag* tag) {
    if (tag == nullptr || IsRegistered(tag))
        return;
    for (TTag* other : FTags) {
        if (other->TagGUID() != tag->TagGUID())
            continue;
        auto* identity = dynamic_cast<ITagIdentity*>(tag);
        if (identity == nullptr)
            throw EStackError("Cannot rebuild the tag identification (TagID).");
        identity->RenewTagGUID();
    }
    FTags.push_back(tag);
}

void TTagMananger::UnregisterTag(TTag* tag) {
    auto it = std::find(FTags.begin(), FTags.end(), tag);
    if (it == FTags.end())
        return;
    *it = FTags.back();
    FTags.pop_back();
}

void TTagMananger::RaiseIfInUse() const {
    if (!FTags.empty())
        throw EStackError("The tag manager cannot be destroyed while it's in use!");
}
