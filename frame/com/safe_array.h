// An owned SAFEARRAY, destroyed when it goes out of scope, and a scoped lock
// of an array's data.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

#include "frame/com/owned_handle.h"
#include "frame/errors/frame_error.h"

namespace numoria::frame {

class SafeArray : public OwnedHandle<SAFEARRAY*, &SafeArrayDestroy> {
public:
    SafeArray() = default;
    explicit SafeArray(SAFEARRAY* owned) noexcept { adopt(owned); }
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
