// Element storage allocated as the SAFEARRAY of VT_R8 that a record result
// hands to the host. While an operation runs for a host, its arrays are
// allocated this way, so its result is written once, in place, and the
// record takes the array over without a copy.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>

#include "frame/com/safe_array.h"
#include "matrix/element_array.h"
#include "matrix/element_storage.h"

namespace numoria::frame {

class SafeArrayStorage final : public matrix::ElementStorage {
public:
    // A two-dimensional array with these bounds, every element 0.0, kept
    // locked while the core owns it; null when it cannot be allocated.
    static std::unique_ptr<SafeArrayStorage> create(matrix::Dimension rows, matrix::Dimension columns) noexcept;

    // Destroys the array unless it was handed over.
    ~SafeArrayStorage() override;

    // The array behind `elements`, taken over (unlocked, `elements` left
    // absent), when its block is one of these; null otherwise.
    static SAFEARRAY* takeArray(matrix::ElementArray& elements) noexcept;

private:
    SafeArrayStorage(SafeArray array, double* elements) noexcept;

    SafeArray array_;
};

// The provider that allocates SafeArrayStorage blocks.
matrix::StorageProvider& safeArrayStorage() noexcept;

} // namespace numoria::frame
