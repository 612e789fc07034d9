// Weak references: gone once their anchor is invalidated or destroyed, and
// never brought back by an anchor that reuses the slot.
#include "ui/base/WeakRef.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using SkinUI::WeakAnchor;
using SkinUI::WeakRef;

namespace {

struct Owner {
    int value = 7;
    WeakAnchor anchor;
    WeakRef<Owner> Ref() { return WeakRef<Owner>(this, anchor); }
};

}  // namespace

TEST(WeakRef, ADefaultReferenceIsGone)
{
    WeakRef<Owner> ref;
    EXPECT_FALSE(ref);
    EXPECT_EQ(ref.Get(), nullptr);
}

TEST(WeakRef, ReadsTheObjectWhileItsAnchorLivesAndNullAfterwards)
{
    auto owner = std::make_unique<Owner>();
    const WeakRef<Owner> ref = owner->Ref();
    const WeakRef<Owner> copy = ref;
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->value, 7);
    owner.reset();
    EXPECT_FALSE(ref);
    EXPECT_FALSE(copy);
}

TEST(WeakRef, InvalidatingEndsOldReferencesButNotNewOnes)
{
    Owner owner;
    const WeakRef<Owner> before = owner.Ref();
    owner.anchor.Invalidate();
    const WeakRef<Owner> after = owner.Ref();
    EXPECT_FALSE(before);
    EXPECT_EQ(after.Get(), &owner);
    EXPECT_EQ(before.Address(), &owner) << "the address stays known for removal from lists";
}

TEST(WeakRef, ARetiredAnchorGivesOnlyGoneReferencesUntilRenewed)
{
    Owner owner;
    const WeakRef<Owner> before = owner.Ref();
    owner.anchor.Retire();
    EXPECT_FALSE(before);
    EXPECT_FALSE(owner.Ref()) << "taken after retiring";
    owner.anchor.Renew();
    EXPECT_TRUE(owner.Ref());
    EXPECT_FALSE(before);
}

TEST(WeakRef, AReusedSlotDoesNotBringAnOldReferenceBack)
{
    std::vector<WeakRef<Owner>> stale;
    for (int round = 0; round < 100; ++round) {
        // The same storage and, through the free list, the same slot again.
        auto owner = std::make_unique<Owner>();
        stale.push_back(owner->Ref());
    }
    Owner current;
    const WeakRef<Owner> live = current.Ref();
    for (const WeakRef<Owner>& ref : stale) EXPECT_FALSE(ref);
    EXPECT_TRUE(live);
}

TEST(WeakRef, ManyAnchorsAtOnceEachKeepTheirOwnReferences)
{
    std::vector<std::unique_ptr<Owner>> owners;
    std::vector<WeakRef<Owner>> refs;
    for (int i = 0; i < 5000; ++i) {  // more than one chunk of slots
        owners.push_back(std::make_unique<Owner>());
        refs.push_back(owners.back()->Ref());
    }
    for (size_t i = 0; i < owners.size(); i += 2) owners[i].reset();
    for (size_t i = 0; i < refs.size(); ++i) EXPECT_EQ(static_cast<bool>(refs[i]), i % 2 == 1) << i;
}
