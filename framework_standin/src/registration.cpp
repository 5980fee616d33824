#include "registration.h"

#include "framework_classes.h"

#include <objbase.h>

#include <string>

namespace vxfu {
namespace {

std::wstring clsid_text(const CLSID& clsid) {
    wchar_t buffer[40];
    StringFromGUID2(clsid, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

HRESULT set_value(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    LSTATUS status = RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    return HRESULT_FROM_WIN32(status);
}

HRESULT delete_tree(const std::wstring& key) {
    LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
        return S_OK;
    }
    return HRESULT_FROM_WIN32(status);
}

HRESULT register_class(const ClassDescription& cls, const wchar_t* module_path) {
    const std::wstring clsid = clsid_text(cls.clsid);
    const std::wstring clsid_key = L"CLSID\\" + clsid;
    const std::wstring prog_key = cls.prog_id;
    struct Entry {
        std::wstring key;
        const wchar_t* name;
        std::wstring value;
    };
    const Entry entries[] = {
        {clsid_key, nullptr, cls.prog_id},
        {clsid_key + L"\\InprocServer32", nullptr, module_path},
        {clsid_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsid_key + L"\\ProgID", nullptr, cls.prog_id},
        {prog_key, nullptr, cls.prog_id},
        {prog_key + L"\\CLSID", nullptr, clsid},
    };
    for (const Entry& entry : entries) {
        HRESULT hr = set_value(entry.key, entry.name, entry.value);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT unregister_class(const ClassDescription& cls) {
    HRESULT first = delete_tree(L"CLSID\\" + clsid_text(cls.clsid));
    HRESULT second = delete_tree(cls.prog_id);
    return FAILED(first) ? first : second;
}

} // namespace

HRESULT register_classes(const wchar_t* module_path) {
    for (const ClassDescription& cls : framework_classes()) {
        HRESULT hr = register_class(cls, module_path);
        if (FAILED(hr)) {
            unregister_classes();
            return hr;
        }
    }
    return S_OK;
}

HRESULT unregister_classes() {
    HRESULT result = S_OK;
    for (const ClassDescription& cls : framework_classes()) {
        HRESULT hr = unregister_class(cls);
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    return result;
}

} // namespace vxfu
