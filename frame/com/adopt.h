// Takes over a reference the caller already owns. mingw's ComPtr::Attach adds
// a reference of its own, so it cannot be used for that.
#pragma once

#include <wrl/client.h>

namespace numoria::frame {

template <class T>
Microsoft::WRL::ComPtr<T> adopt(T* owned) noexcept {
    Microsoft::WRL::ComPtr<T> pointer;
    *pointer.GetAddressOf() = owned;
    return pointer;
}

} // namespace numoria::frame
