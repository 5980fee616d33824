// Failures of the automation frame itself (as opposed to the library's
// numbered runtime errors): a status code and, where useful, a description.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace numoria::frame {

class FrameError {
public:
    explicit FrameError(HRESULT status, std::u16string description = {})
            : status_(status), description_(std::move(description)) {}

    HRESULT status() const noexcept { return status_; }
    const std::u16string& description() const noexcept { return description_; }

private:
    HRESULT status_;
    std::u16string description_;
};

// An argument that cannot be converted to its declared type: the status
// (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW, ...) and the argument's position in
// declaration order.
class ArgumentError : public FrameError {
public:
    ArgumentError(HRESULT status, std::size_t position) : FrameError(status), position_(position) {}
    std::size_t position() const noexcept { return position_; }

private:
    std::size_t position_;
};

inline void throwIfFailed(HRESULT status) {
    if (FAILED(status)) throw FrameError(status);
}

} // namespace numoria::frame
