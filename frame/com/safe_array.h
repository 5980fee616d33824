// An owned SAFEARRAY, destroyed when it goes out of scope, and a scoped lock
// of an array's data.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

#include "frame/errors/frame_error.h"

namespace numoria::frame {

class SafeArray {
public:
    SafeArray() = default;
    explicit SafeArray(SAFEARRAY* owned) noexcept : array_(owned) {}
    SafeArray(const SafeArray&) = delete;
    SafeArray& operator=(const SafeArray&) = delete;
    SafeArray(SafeArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
    SafeArray& operator=(SafeArray&& other) noexcept {
        std::swap(array_, other.array_);
        return *this;
    }
    ~SafeArray() {
        if (array_ != nullptr) SafeArrayDestroy(array_);
    }

    SAFEARRAY* get() const noexcept { return array_; }
    // The slot for a callee's out-parameter; the array held so far is destroyed first.
    SAFEARRAY** out() noexcept {
        if (SAFEARRAY* held = std::exchange(array_, nullptr)) SafeArrayDestroy(held);
        return &array_;
    }
    SAFEARRAY* release() noexcept { return std::exchange(array_, nullptr); }

private:
    SAFEARRAY* array_ = nullptr;
};

// Locks an array's data for the lifetime of the object: the data stays where
// it is, and the array cannot be destroyed or resized meanwhile. A moved-from
// or default-made object locks nothing.
class SafeArrayData {
public:
    SafeArrayData() = default;
    // Fails with FrameError when the platform refuses the lock.
    explicit SafeArrayData(SAFEARRAY* array) : array_(array) { throwIfFailed(SafeArrayAccessData(array_, &data_)); }
    SafeArrayData(SafeArrayData&& other) noexcept
            : array_(std::exchange(other.array_, nullptr)), data_(std::exchange(other.data_, nullptr)) {}
    SafeArrayData& operator=(SafeArrayData&& other) noexcept {
        std::swap(array_, other.array_);
        std::swap(data_, other.data_);
        return *this;
    }
    SafeArrayData(const SafeArrayData&) = delete;
    SafeArrayData& operator=(const SafeArrayData&) = delete;
    ~SafeArrayData() {
        if (array_ != nullptr) SafeArrayUnaccessData(array_);
    }

    void* data() const noexcept { return data_; }

private:
    SAFEARRAY* array_ = nullptr;
    void* data_ = nullptr;
};

} // namespace numoria::frame
