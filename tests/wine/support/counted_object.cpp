#include "counted_object.h"

namespace wine_tests {

HRESULT CountedObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

} // namespace wine_tests
