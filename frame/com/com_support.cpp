#include "frame/com/bstr.h"
#include "frame/com/safe_array.h"
#include "frame/errors/frame_error.h"

namespace numoria::frame {

std::u16string widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::u16string result(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                        reinterpret_cast<wchar_t*>(result.data()), length);
    return result;
}

SafeArrayData::SafeArrayData(SAFEARRAY* array) : array_(array) {
    throwIfFailed(SafeArrayAccessData(array_, &data_));
}

} // namespace numoria::frame
