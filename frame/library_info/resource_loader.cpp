#include "frame/library_info/resource_loader.h"

#include <olectl.h>

#include <cstring>
#include <iterator>
#include <string>

#include "frame/com/adopt.h"
#include "frame/com/image_handle.h"
#include "frame/com/safe_array.h"
#include "frame/dispatch/runtime_coercion.h"
#include "frame/errors/frame_error.h"
#include "frame/module/module_state.h"
#include "runtime/runtime_error.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

[[noreturn]] void raiseResourceNotFound(std::int32_t id) {
    throw RuntimeError(static_cast<std::int32_t>(ErrorNumber::ResourceNotFound), kRuntimeErrorSource,
                       "Resource with identifier '" + std::to_string(id) + "' not found");
}

// Resource identifiers and type numbers are 16-bit: nothing outside 1 to
// 65535 can name a resource, and passing such a value on would make the
// loader read it as a pointer.
bool isResourceNumber(std::int32_t value) { return value >= 1 && value <= 0xFFFF; }

struct FoundResource {
    HRSRC handle;
    DWORD size;
};

FoundResource findResource(std::int32_t id, const wchar_t* type) {
    if (!isResourceNumber(id)) raiseResourceNotFound(id);
    HRSRC handle = FindResourceW(moduleHandle(), MAKEINTRESOURCEW(id), type);
    if (handle == nullptr) raiseResourceNotFound(id);
    return {handle, SizeofResource(moduleHandle(), handle)};
}

const void* resourceBytes(const FoundResource& resource) {
    HGLOBAL loaded = LoadResource(moduleHandle(), resource.handle);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) throw FrameError(HRESULT_FROM_WIN32(GetLastError()));
    return bytes;
}

// How each picture kind is found and loaded, in the order of PictureKind.
struct PictureLoad {
    WORD resourceType;
    UINT imageType;
    UINT flags;
    SHORT pictureType;
};

constexpr PictureLoad kPictureLoads[] = {
    {2 /* RT_BITMAP */, IMAGE_BITMAP, LR_DEFAULTCOLOR, PICTYPE_BITMAP},
    {14 /* RT_GROUP_ICON */, IMAGE_ICON, LR_DEFAULTSIZE, PICTYPE_ICON},
    {12 /* RT_GROUP_CURSOR */, IMAGE_CURSOR, LR_DEFAULTSIZE, PICTYPE_ICON},
};

const PictureLoad& pictureLoadFor(std::int16_t kind) {
    if (kind < 0 || static_cast<std::size_t>(kind) >= std::size(kPictureLoads))
        raiseRuntimeError(ErrorNumber::InvalidProcedureCall);
    return kPictureLoads[kind];
}

// The resource type a loader argument selects: a text names a custom type
// (kept alive in `name`), a number a standard one. The argument is a value:
// a by-reference VARIANT has been read through before it gets here.
const wchar_t* resourceTypeOf(const VARIANT& type, std::wstring& name, std::int32_t id) {
    if (type.vt == VT_BSTR) {
        name.assign(type.bstrVal != nullptr ? type.bstrVal : L"", SysStringLen(type.bstrVal));
        if (name.empty()) raiseResourceNotFound(id);
        return name.c_str();
    }
    const std::int32_t number = runtimeCoerced(type, VT_I4)->lVal;
    if (!isResourceNumber(number)) raiseResourceNotFound(id);
    return MAKEINTRESOURCEW(number);
}

} // namespace

std::u16string loadResourceString(std::int32_t id) {
    if (id < 0 || id > 0xFFFF) raiseResourceNotFound(id);
    // With no buffer, the loader hands back the text in the resource itself.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(moduleHandle(), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) raiseResourceNotFound(id);
    return std::u16string(reinterpret_cast<const char16_t*>(text), static_cast<std::size_t>(length));
}

ComPtr<IDispatch> loadResourcePicture(std::int32_t id, std::int16_t kind) {
    const PictureLoad& load = pictureLoadFor(kind);
    findResource(id, MAKEINTRESOURCEW(load.resourceType));
    ImageHandle image(LoadImageW(moduleHandle(), MAKEINTRESOURCEW(id), load.imageType, 0, 0, load.flags),
                      load.imageType);
    if (!image) throw FrameError(HRESULT_FROM_WIN32(GetLastError()));
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = load.pictureType;
    if (load.pictureType == PICTYPE_BITMAP)
        description.bmp.hbitmap = static_cast<HBITMAP>(image.get());
    else
        description.icon.hicon = static_cast<HICON>(image.get());
    IDispatch* picture = nullptr;
    throwIfFailed(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(&picture)));
    image.release(); // the picture owns the handle from here on
    return adopt(picture);
}

Variant loadResourceData(std::int32_t id, const VARIANT& type) {
    std::wstring typeName;
    const FoundResource resource = findResource(id, resourceTypeOf(type, typeName, id));
    SafeArray bytes(SafeArrayCreateVector(VT_UI1, 0, resource.size));
    if (bytes.get() == nullptr) raiseRuntimeError(ErrorNumber::OutOfMemory);
    if (resource.size != 0) {
        SafeArrayData data(bytes.get());
        std::memcpy(data.data(), resourceBytes(resource), resource.size);
    }
    Variant result;
    result->vt = VT_ARRAY | VT_UI1;
    result->parray = bytes.release();
    return result;
}

} // namespace numoria::frame
