// The body every owner of a platform handle shares: move-only, the handle
// released when the owner goes out of scope, an out-parameter slot that
// releases what was held first, and explicit hand-over in both directions.
// Each owner (Bstr, SafeArray, RegistryKey) adds what its kind needs.
#pragma once

#include <utility>

namespace numoria::frame {

template <typename Handle, auto Release>
class OwnedHandle {
public:
    OwnedHandle() = default;
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    ~OwnedHandle() { releaseHandle(handle_); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // The slot for a callee's out-parameter; the handle held so far is released first.
    Handle* out() noexcept {
        releaseHandle(std::exchange(handle_, nullptr));
        return &handle_;
    }
    // Takes over a handle the caller owns; the one held so far is released.
    void adopt(Handle owned) noexcept { releaseHandle(std::exchange(handle_, owned)); }
    // Hands the handle over to the caller, who then owns it.
    Handle release() noexcept { return std::exchange(handle_, nullptr); }

private:
    static void releaseHandle(Handle handle) noexcept {
        if (handle != nullptr) Release(handle);
    }

    Handle handle_ = nullptr;
};

} // namespace numoria::frame
