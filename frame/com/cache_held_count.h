// The reference count of an object that a cache keeps besides its callers
// (the per-thread App object): one state word holds both the number of
// caller references and whether the cache still holds the object, so that
// of a caller's last release and the cache letting go, exactly one sees the
// word reach zero and frees the object, whatever their order on any threads.
// Platform-free, so that the native tests stress it directly.
#pragma once

#include <atomic>
#include <cstdint>

namespace numoria::frame {

class CacheHeldCount {
public:
    struct Release {
        std::uint32_t remaining; // caller references left
        bool lastCaller;         // this was the last caller reference
        bool free;               // ... and the cache had let go: free the object
    };

    // A new caller reference; returns the count of caller references now.
    std::uint32_t addCaller() noexcept { return state_.fetch_add(kCaller, std::memory_order_relaxed) / kCaller + 1; }

    Release releaseCaller() noexcept {
        const std::uint32_t after = state_.fetch_sub(kCaller, std::memory_order_acq_rel) - kCaller;
        return {after / kCaller, after < kCaller, after == 0};
    }

    // The cache lets go; true when no caller holds the object: free it.
    bool leaveCache() noexcept { return state_.fetch_and(~kCached, std::memory_order_acq_rel) == kCached; }

private:
    static constexpr std::uint32_t kCached = 1; // bit 0: the cache holds the object
    static constexpr std::uint32_t kCaller = 2; // bits 1 up: caller references

    std::atomic<std::uint32_t> state_{kCached};
};

} // namespace numoria::frame
