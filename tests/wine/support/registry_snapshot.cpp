#include "registry_snapshot.h"

#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include "frame/com/registry_key.h"
#include "support/status_check.h"
#include "support/type_info.h"

#include <gtest/gtest.h>

namespace wine_tests {

std::wstring guidText(const GUID& guid) {
    wchar_t buffer[40];
    StringFromGUID2(guid, buffer, 40);
    return buffer;
}
std::vector<std::wstring> typeLibraryKeys(const std::wstring& path) {
    std::vector<std::wstring> keys;
    Microsoft::WRL::ComPtr<ITypeLib> library;
    EXPECT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.GetAddressOf()), S_OK) << narrow(path);
    const LibAttr attributes(library.Get());
    if (!library || !attributes) return keys;
    keys.push_back(L"TypeLib\\" + guidText(attributes->guid));
    for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
        TYPEKIND kind{};
        EXPECT_EQ(library->GetTypeInfoType(index, &kind), S_OK);
        if (kind != TKIND_INTERFACE && kind != TKIND_DISPATCH) continue;
        Microsoft::WRL::ComPtr<ITypeInfo> info;
        EXPECT_EQ(library->GetTypeInfo(index, info.GetAddressOf()), S_OK);
        const TypeAttr type(info.Get());
        EXPECT_EQ(type.status(), S_OK);
        if (type) keys.push_back(L"Interface\\" + guidText(type->guid));
    }
    return keys;
}

namespace {

// The parents are keys every prefix has: failing to open or to list one
// throws rather than leave the snapshot short of names.
void addSubkeys(const std::wstring& parent, RegistrySnapshot& into) {
    numoria::frame::RegistryKey key;
    throwIfRegistryFailed(
        RegOpenKeyExW(HKEY_CLASSES_ROOT, parent.empty() ? nullptr : parent.c_str(), 0, KEY_READ, key.out()),
        "RegOpenKeyExW", parent);
    wchar_t name[512];
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS status = RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        throwIfRegistryFailed(status, "RegEnumKeyExW", parent);
        into.insert(parent.empty() ? std::wstring(name) : parent + L"\\" + name);
    }
}

} // namespace

RegistrySnapshot snapshotClassRegistrations() {
    RegistrySnapshot snapshot;
    for (const wchar_t* parent : {L"", L"CLSID", L"Interface", L"TypeLib"}) addSubkeys(parent, snapshot);
    return snapshot;
}

std::wstring classRegistryText(const std::wstring& key, const wchar_t* valueName) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    const LSTATUS status =
        RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), valueName, RRF_RT_REG_SZ, nullptr, buffer, &size);
    if (status == ERROR_FILE_NOT_FOUND) return L"";
    throwIfRegistryFailed(status, "RegGetValueW", key);
    return buffer;
}

} // namespace wine_tests
