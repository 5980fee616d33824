// A bitmap, icon or cursor handle from LoadImageW, destroyed the way its
// kind requires (DeleteObject or DestroyIcon) unless it was handed over.
#pragma once

#include <windows.h>

#include <utility>

namespace numoria::frame {

class ImageHandle {
public:
    ImageHandle(HANDLE image, UINT imageType) noexcept : image_(image), imageType_(imageType) {}
    ImageHandle(const ImageHandle&) = delete;
    ImageHandle& operator=(const ImageHandle&) = delete;
    ~ImageHandle() {
        if (image_ == nullptr) return;
        if (imageType_ == IMAGE_BITMAP)
            DeleteObject(image_);
        else
            DestroyIcon(static_cast<HICON>(image_));
    }

    HANDLE get() const noexcept { return image_; }
    explicit operator bool() const noexcept { return image_ != nullptr; }
    HANDLE release() noexcept { return std::exchange(image_, nullptr); }

private:
    HANDLE image_;
    UINT imageType_;
};

} // namespace numoria::frame
