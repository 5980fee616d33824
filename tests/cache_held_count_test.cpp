// The life cycle of the per-thread App object's count (frame/com): of the
// last caller's release and the cache letting go, exactly one frees the
// object, whatever threads they run on and however they interleave.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "frame/com/cache_held_count.h"

namespace numoria::frame {
namespace {

TEST(CacheHeldCount, TheLastOfCallersAndCacheFreesTheObject) {
    CacheHeldCount cached;
    EXPECT_EQ(cached.addCaller(), 1u);
    EXPECT_EQ(cached.addCaller(), 2u);
    const CacheHeldCount::Release first = cached.releaseCaller();
    EXPECT_EQ(first.remaining, 1u);
    EXPECT_FALSE(first.lastCaller || first.free);
    const CacheHeldCount::Release last = cached.releaseCaller();
    EXPECT_TRUE(last.lastCaller);
    EXPECT_FALSE(last.free) << "the cache still holds it";
    EXPECT_TRUE(cached.leaveCache());

    CacheHeldCount left;
    left.addCaller();
    EXPECT_FALSE(left.leaveCache()) << "a caller still holds it";
    EXPECT_TRUE(left.releaseCaller().free);
}

// A caller releases its last reference while the owning thread lets the
// cache go, both started at the same moment by a barrier, for many objects.
TEST(CacheHeldCount, ReleasesRacingTheCacheFreeExactlyOnce) {
    constexpr int kObjects = 20000;
    constexpr int kThreads = 2;
    struct Object {
        CacheHeldCount count;
        int frees = 0, lastCallers = 0;
    };
    std::vector<Object> objects(kObjects);
    for (Object& object : objects) object.count.addCaller();
    std::atomic<int> arrived{0};
    auto meetAt = [&](int k) {
        arrived.fetch_add(1);
        for (int spins = 0; arrived.load() < (k + 1) * kThreads; ++spins)
            if (spins > 1000) std::this_thread::yield();
    };
    // The caller starts a little later each time, by up to a few hundred
    // cycles, so that the two operations meet at every offset.
    auto delay = [](int k) {
        for (int spin = 0; spin < k % 97; ++spin) asm volatile("");
    };
    std::thread caller([&] {
        for (int k = 0; k < kObjects; ++k) {
            meetAt(k);
            delay(k);
            const CacheHeldCount::Release released = objects[k].count.releaseCaller();
            objects[k].frees += released.free;
            objects[k].lastCallers += released.lastCaller;
        }
    });
    std::vector<int> cacheFrees(kObjects);
    for (int k = 0; k < kObjects; ++k) {
        meetAt(k);
        delay(k / 97);
        cacheFrees[k] = objects[k].count.leaveCache();
    }
    caller.join();
    for (int k = 0; k < kObjects; ++k) {
        ASSERT_EQ(objects[k].frees + cacheFrees[k], 1) << "object " << k;
        ASSERT_EQ(objects[k].lastCallers, 1) << "object " << k;
    }
}

} // namespace
} // namespace numoria::frame
