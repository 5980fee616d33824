#include "registration.h"

#include "framework_classes.h"

#include <objbase.h>

#include <string>

namespace vxfu {
namespace {

std::wstring clsidText(const CLSID& clsid) {
    wchar_t buffer[40];
    StringFromGUID2(clsid, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

HRESULT setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    LSTATUS status = RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

// A removal's status: a key that is already absent counts as removed.
HRESULT removalStatus(LSTATUS status) {
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

// Removes `key` with everything below it.
HRESULT deleteTree(const std::wstring& key) {
    const HRESULT emptied = removalStatus(RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str()));
    if (FAILED(emptied)) return emptied;
    // RegDeleteTreeW with a subkey name removes the key itself too, so this
    // normally finds nothing; a key still there that cannot be deleted fails
    // the removal rather than being reported as gone.
    return removalStatus(RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str()));
}

HRESULT registerClass(const ClassDescription& cls, const wchar_t* modulePath) {
    const std::wstring clsid = clsidText(cls.clsid);
    const std::wstring clsidKey = L"CLSID\\" + clsid;
    const std::wstring progKey = cls.progId;
    struct Entry {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    };
    const Entry entries[] = {
        {clsidKey, nullptr, cls.progId},
        {clsidKey + L"\\InprocServer32", nullptr, modulePath},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsidKey + L"\\ProgID", nullptr, cls.progId},
        {progKey, nullptr, cls.progId},
        {progKey + L"\\CLSID", nullptr, clsid},
    };
    for (const Entry& entry : entries) {
        HRESULT hr = setValue(entry.key, entry.name, entry.value);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT unregisterClass(const ClassDescription& cls) {
    HRESULT first = deleteTree(L"CLSID\\" + clsidText(cls.clsid));
    HRESULT second = deleteTree(cls.progId);
    return FAILED(first) ? first : second;
}

} // namespace

HRESULT registerClasses(const wchar_t* modulePath) {
    for (const ClassDescription& cls : frameworkClasses()) {
        HRESULT hr = registerClass(cls, modulePath);
        if (FAILED(hr)) {
            // The roll-back's own status is not reported: the caller learns
            // of the failure that stopped the registration.
            unregisterClasses();
            return hr;
        }
    }
    return S_OK;
}

HRESULT unregisterClasses() {
    HRESULT result = S_OK;
    for (const ClassDescription& cls : frameworkClasses()) {
        HRESULT hr = unregisterClass(cls);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

} // namespace vxfu
