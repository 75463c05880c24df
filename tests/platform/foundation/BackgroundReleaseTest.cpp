#include "BackgroundRelease.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Notes the thread it is destroyed on.
struct Witness {
    explicit Witness(std::thread::id* destroyedOn) : destroyedOn(destroyedOn) {}
    ~Witness() { *destroyedOn = std::this_thread::get_id(); }
    std::thread::id* destroyedOn;
};

} // namespace

TEST(BackgroundReleaseTest, LastReference_IsFreedOnAnotherThread_AndOnlyOnceNoOneHoldsIt)
{
    std::thread::id destroyedOn;
    auto witness = std::make_shared<Witness>(&destroyedOn);
    std::shared_ptr<Witness> stillHeld = witness;
    BackgroundRelease::release(std::move(witness));
    BackgroundRelease::waitUntilReleased();
    EXPECT_EQ(destroyedOn, std::thread::id());

    BackgroundRelease::release(std::move(stillHeld));
    BackgroundRelease::waitUntilReleased();
    EXPECT_NE(destroyedOn, std::thread::id());
    EXPECT_NE(destroyedOn, std::this_thread::get_id());
}

TEST(BackgroundReleaseTest, WhileKeeping_NothingIsFreed)
{
    std::thread::id destroyedOn;
    std::weak_ptr<Witness> watched;
    BackgroundRelease::setKeeping(true);
    {
        auto witness = std::make_shared<Witness>(&destroyedOn);
        watched = witness;
        BackgroundRelease::release(std::move(witness));
    }
    BackgroundRelease::waitUntilReleased();
    BackgroundRelease::setKeeping(false);
    EXPECT_FALSE(watched.expired());
    EXPECT_EQ(destroyedOn, std::thread::id());
}
