#include "frame/library_info/version_block.h"

#include <windows.h>
#include <winver.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/errors/frame_error.h"
#include "frame/module/module_state.h"

namespace numoria::frame {

namespace {

// VerQueryValue reads from a writable copy of the block, as it would from
// GetFileVersionInfo's buffer.
std::vector<BYTE> versionBlockCopy() {
    HMODULE module = moduleHandle();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    if (resource == nullptr) throw FrameError(HRESULT_FROM_WIN32(ERROR_RESOURCE_TYPE_NOT_FOUND));
    const DWORD size = SizeofResource(module, resource);
    HGLOBAL loaded = LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) throw FrameError(HRESULT_FROM_WIN32(GetLastError()));
    std::vector<BYTE> copy(size);
    std::memcpy(copy.data(), bytes, size);
    return copy;
}

// The value at `path` in the block, or null.
const void* queryValue(std::vector<BYTE>& block, const wchar_t* path, UINT& length) {
    void* value = nullptr;
    length = 0;
    if (!VerQueryValueW(block.data(), path, &value, &length)) return nullptr;
    return value;
}

} // namespace

std::u16string versionText(const wchar_t* key) {
    std::vector<BYTE> block = versionBlockCopy();
    UINT length = 0;
    const auto* translation = static_cast<const WORD*>(queryValue(block, L"\\VarFileInfo\\Translation", length));
    if (translation == nullptr || length < 2 * sizeof(WORD)) return {};
    wchar_t path[128];
    std::swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], key);
    const auto* text = static_cast<const char16_t*>(queryValue(block, path, length));
    if (text == nullptr) return {};
    // The length counts the terminating null where there is one.
    std::u16string value(text, length);
    while (!value.empty() && value.back() == u'\0') value.pop_back();
    return value;
}

FileVersionNumbers fileVersionNumbers() {
    std::vector<BYTE> block = versionBlockCopy();
    UINT length = 0;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(queryValue(block, L"\\", length));
    if (fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO)) throw FrameError(E_UNEXPECTED);
    return {static_cast<std::int16_t>(HIWORD(fixed->dwFileVersionMS)),
            static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionMS)),
            static_cast<std::int16_t>(LOWORD(fixed->dwFileVersionLS))};
}

} // namespace numoria::frame
