// The scoped owners: however an owner lets its value go, the last error is the
// one the failed call before it set, and a value equal to the owner type's
// invalid one is never released.
#include "core/scoped_win.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

int releases = 0;

// Fails the way the release of a stale handle does, with an error of its own.
struct FailingRelease {
    void operator()(HANDLE) const
    {
        ++releases;
        SetLastError(ERROR_INVALID_HANDLE);
    }
};
using Owner = std::optional<ScopedResource<HANDLE, FailingRelease>>;
using FileOwner = ScopedResource<HANDLE, FailingRelease, -1>;
const HANDLE kHeld = reinterpret_cast<HANDLE>(4);
const HANDLE kOther = reinterpret_cast<HANDLE>(8);

TEST(ScopedOwner, EveryReleaseKeepsTheLastError)
{
    const struct {
        const char* name;
        void (*letGo)(Owner& owner);
    } cases[] = {
        {"destroyed", [](Owner& owner) { owner.reset(); }},
        {"reset", [](Owner& owner) { owner->reset(); }},
        {"reset-to-another", [](Owner& owner) { owner->reset(kOther); }},
        {"put", [](Owner& owner) { owner->put(); }},
        {"moved-over", [](Owner& owner) { *owner = Owner::value_type(kOther); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Owner owner(std::in_place, kHeld);
        releases = 0;
        SetLastError(ERROR_FILE_NOT_FOUND);
        c.letGo(owner);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(releases, 1);
    }
}

TEST(ScopedOwner, TheInvalidValueOwnsNothing)
{
    releases = 0;
    EXPECT_FALSE(Owner::value_type());
    EXPECT_FALSE(FileOwner(INVALID_HANDLE_VALUE));
    EXPECT_EQ(FileOwner().get(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(releases, 0);
}

}  // namespace
