// TTagMananger: the process-wide registry of tags, which keeps their identifiers unique.
// User-interface thread only.
#pragma once

#include <vector>

class TTag;
class TPLCTag;

class TTagMananger {
public:
    TTagMananger() = default;
    TTagMananger(const TTagMananger&) = delete;
    TTagMananger& operator=(const TTagMananger&) = delete;
    // Tags still registered are let go of (they no longer unregister themselves), since a
    // destructor cannot raise; RaiseIfInUse reports that state beforehand.
    ~TTagMananger();

    static TTagMananger& Instance();

    // A tag whose identifier is already taken renews its own; one that cannot raises
    // EStackError "Cannot rebuild the tag identification (TagID).".
    void RegisterTag(TTag* tag);
    void UnregisterTag(TTag* tag);
    bool IsRegistered(const TTag* tag) const;
    const std::vector<TTag*>& Tags() const { return FTags; }

    // Raises EStackError "The tag manager cannot be destroyed while it's in use!" while tags are
    // registered.
    void RaiseIfInUse() const;

private:
    std::vector<TTag*> FTags;
};
