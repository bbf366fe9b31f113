#include "modbus/tag_manager.h"

#include "modbus/io_types.h"
#include "modbus/plc_block.h"
#include "support/test_ui_thread.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const std::string StoredGUID = "{2BCD26BF-3893-400B-93DF-9F94D46CC6F1}";

// A tag as the window's stored settings create it.
void LoadWithGUID(TPLCBlock& block, const std::string& guid) {
    block.BeginLoad();
    block.SetTagGUID(guid);
    block.SetAutoRead(false);
    block.EndLoad();
}

// A tag without the identity interface, which cannot renew a clashing identifier.
class TFixedTag : public TTag {
public:
    explicit TFixedTag(const std::string& guid) {
        BeginLoad();
        SetTagGUID(guid);
        EndLoad();
    }
};

TEST(TagManager, ClashingIdentifierIsRenewedOnRegistration) {
    TTestUIThread ui;
    TTagMananger manager;
    TPLCBlock first(&manager), second(&manager);
    LoadWithGUID(first, StoredGUID);
    LoadWithGUID(second, StoredGUID);
    EXPECT_EQ(first.TagGUID(), StoredGUID);
    EXPECT_NE(second.TagGUID(), StoredGUID);
    EXPECT_EQ(second.TagGUID().size(), 38u);
    EXPECT_EQ(manager.Tags().size(), 2u);

    manager.RegisterTag(&first); // already registered: nothing changes
    EXPECT_EQ(manager.Tags().size(), 2u);
    EXPECT_EQ(first.TagGUID(), StoredGUID);
}

TEST(TagManager, TagWithoutIdentityCannotBeRegisteredTwiceUnderOneIdentifier) {
    TTagMananger manager;
    TFixedTag a(StoredGUID), b(StoredGUID);
    manager.RegisterTag(&a);
    try {
        manager.RegisterTag(&b);
        ADD_FAILURE() << "no exception";
    } catch (const EStackError& e) {
        EXPECT_STREQ(e.what(), "Cannot rebuild the tag identification (TagID).");
    }
    EXPECT_FALSE(manager.IsRegistered(&b));
    manager.UnregisterTag(&a);
}

TEST(TagManager, UnregisteringKeepsTheOthersAndDestroyedTagsUnregisterThemselves) {
    TTestUIThread ui;
    TTagMananger manager;
    auto a = std::make_unique<TPLCBlock>(&manager);
    TPLCBlock b(&manager), c(&manager);
    for (TPLCBlock* block : {a.get(), &b, &c})
        LoadWithGUID(*block, block->TagGUID());
    manager.UnregisterTag(a.get());
    EXPECT_FALSE(manager.IsRegistered(a.get()));
    EXPECT_TRUE(manager.IsRegistered(&b));
    EXPECT_TRUE(manager.IsRegistered(&c));
    manager.UnregisterTag(a.get()); // not registered: nothing happens
    EXPECT_EQ(manager.Tags().size(), 2u);

    try {
        manager.RaiseIfInUse();
        ADD_FAILURE() << "no exception";
    } catch (const EStackError& e) {
        EXPECT_STREQ(e.what(), "The tag manager cannot be destroyed while it's in use!");
    }
    a.reset();
    EXPECT_EQ(manager.Tags().size(), 2u);
}

TEST(TagManager, TagOutlivingItsRegistryDoesNotTouchItAgain) {
    TTestUIThread ui;
    auto manager = std::make_unique<TTagMananger>();
    TPLCBlock survivor(manager.get());
    LoadWithGUID(survivor, StoredGUID);
    ASSERT_TRUE(manager->IsRegistered(&survivor));
    manager.reset(); // the sanitizer runs catch any later use of the freed registry
}

} // namespace
