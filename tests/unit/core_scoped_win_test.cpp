// The scoped owners: however an owner lets its value go, the thread's last
// error is the one the failed call before it set, and a value equal to the
// owner type's invalid one is never released.
#include "core/scoped_win.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

int releases = 0;

// Fails the way a release of a stale handle does, setting an error of its own.
struct FailingRelease {
    void operator()(HANDLE) const
    {
        ++releases;
        SetLastError(ERROR_INVALID_HANDLE);
    }
};
using Owner = ScopedResource<HANDLE, FailingRelease>;
using FileOwner = ScopedResource<HANDLE, FailingRelease, -1>;

HANDLE fakeHandle(intptr_t value)
{
    return reinterpret_cast<HANDLE>(value);
}

TEST(ScopedOwner, EveryReleaseKeepsTheLastError)
{
    const struct {
        const char* name;
        void (*letGo)(std::optional<Owner>& owner);
    } cases[] = {
        {"destroyed", [](std::optional<Owner>& owner) { owner.reset(); }},
        {"reset", [](std::optional<Owner>& owner) { owner->reset(); }},
        {"reset-to-another", [](std::optional<Owner>& owner) { owner->reset(fakeHandle(8)); }},
        {"put", [](std::optional<Owner>& owner) { owner->put(); }},
        {"moved-over", [](std::optional<Owner>& owner) { *owner = Owner(fakeHandle(8)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<Owner> owner(std::in_place, fakeHandle(4));
        releases = 0;
        SetLastError(ERROR_FILE_NOT_FOUND);
        c.letGo(owner);
        const DWORD error = GetLastError();
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(releases, 1);
    }
}

TEST(ScopedOwner, TheInvalidValueOwnsNothing)
{
    releases = 0;
    {
        const Owner empty;
        const FileOwner failedOpen(INVALID_HANDLE_VALUE);
        EXPECT_FALSE(empty);
        EXPECT_FALSE(failedOpen);
        EXPECT_EQ(FileOwner().get(), INVALID_HANDLE_VALUE);
    }
    EXPECT_EQ(releases, 0);
}

}  // namespace
