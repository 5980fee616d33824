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
    CacheHeldCount cached, left;
    EXPECT_EQ(cached.addCaller(), 1u);
    EXPECT_EQ(cached.addCaller(), 2u);
    const CacheHeldCount::Release first = cached.releaseCaller(), last = cached.releaseCaller();
    EXPECT_TRUE(first.remaining == 1 && !first.lastCaller && !first.free);
    EXPECT_TRUE(last.lastCaller && !last.free) << "the cache still holds it";
    EXPECT_TRUE(cached.leaveCache());
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
    std::thread caller([&] {
        for (int k = 0; k < kObjects; ++k) {
            meetAt(k);
            const CacheHeldCount::Release released = objects[k].count.releaseCaller();
            objects[k].frees += released.free;
            objects[k].lastCallers += released.lastCaller;
        }
    });
    std::vector<int> cacheFrees(kObjects);
    for (int k = 0; k < kObjects; ++k) {
        meetAt(k);
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
