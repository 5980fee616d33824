// The resource loaders over this file's own resources: string table entries,
// pictures and raw data. A resource the file does not hold raises the
// runtime's resource-not-found error (326) naming the identifier.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <string>

#include "frame/com/variant.h"

namespace numoria::frame {

// The text of string resource `id`.
std::u16string loadResourceString(std::int32_t id);

// Picture kinds of loadResourcePicture.
enum class PictureKind : std::int16_t { Bitmap = 0, Icon = 1, Cursor = 2 };

// Bitmap, icon or cursor `id` as a picture object. A kind other than the
// three raises invalid procedure call (5).
Microsoft::WRL::ComPtr<IDispatch> loadResourcePicture(std::int32_t id, std::int16_t kind);

// The bytes of resource `id` of `type` (a value, not a reference) as a
// zero-based array of bytes. A number selects a standard resource type, a
// text names a custom one.
Variant loadResourceData(std::int32_t id, const VARIANT& type);

} // namespace numoria::frame
