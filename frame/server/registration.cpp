#include "frame/server/registration.h"

#include <wrl/client.h>

#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "frame/com/bstr.h"
#include "frame/status/automation_error.h"
#include "frame/errors/frame_error.h"
#include "frame/server/class_catalogue.h"
#include "frame/module/module_state.h"
#include "frame/server/registry_backup.h"
#include "frame/com/registry_key.h"
#include "frame/com/type_attributes.h"
#include "frame/module/type_library.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

constexpr const wchar_t* kAutomationMarshaler = L"{00020424-0000-0000-C000-000000000046}";
constexpr const wchar_t* kLibraryVersion = L"1.0";

#ifdef _WIN64
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

std::wstring textOfGuid(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring progIdOf(const ClassEntry& entry) { return std::wstring(thisServer().libraryName) + L"." + entry.name; }

// Sets a value below HKEY_CLASSES_ROOT, creating the key; an empty name is
// the key's default value.
void writeValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    RegistryKey key;
    LSTATUS status = key.create(keyPath, KEY_SET_VALUE);
    if (status == ERROR_SUCCESS)
        status = RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) throw FrameError(HRESULT_FROM_WIN32(status));
}

// Creates a key that holds no value of its own.
void createKey(const std::wstring& keyPath) {
    RegistryKey key;
    const LSTATUS status = key.create(keyPath, KEY_SET_VALUE);
    if (status != ERROR_SUCCESS) throw FrameError(HRESULT_FROM_WIN32(status));
}

// Removing a key that is not there is no error; failing to remove one is.
void removeTree(const std::wstring& keyPath) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) throw FrameError(HRESULT_FROM_WIN32(status));
}

// The help folder is given rather than left to RegisterTypeLib, which keeps
// the folder of an earlier registration: a copy of this file registered from
// elsewhere must not leave the library pointing at the old folder.
void registerTypeLibrary(ITypeLib* library, const std::wstring& path, const std::wstring& helpFolder) {
    throwIfFailed(
        RegisterTypeLib(library, const_cast<LPOLESTR>(path.c_str()), const_cast<LPOLESTR>(helpFolder.c_str())));
}

std::wstring folderOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

bool isTypeLibraryRegistered(REFGUID libraryId) {
    Bstr path;
    return SUCCEEDED(QueryPathOfRegTypeLib(libraryId, 1, 0, 0, path.out()));
}

// The keys of the interfaces a library describes (RegisterTypeLib writes
// them).
std::vector<std::wstring> interfaceKeysOf(ITypeLib* library) {
    std::vector<std::wstring> keys;
    for (UINT index = 0; index < library->GetTypeInfoCount(); ++index) {
        TYPEKIND kind = TKIND_MAX;
        throwIfFailed(library->GetTypeInfoType(index, &kind));
        if (kind != TKIND_INTERFACE && kind != TKIND_DISPATCH) continue;
        ComPtr<ITypeInfo> info;
        throwIfFailed(library->GetTypeInfo(index, &info));
        const TypeAttr type(info.Get());
        throwIfFailed(type.status());
        keys.push_back(L"Interface\\" + textOfGuid(type->guid));
    }
    return keys;
}

void removeKeyIfEmpty(const std::wstring& keyPath) {
    DWORD subkeys = 0;
    RegistryKey key;
    if (key.open(keyPath, KEY_QUERY_VALUE) != ERROR_SUCCESS) return;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys == 0)
        removeTree(keyPath);
}

// Removing a library that is not (or no longer) registered is no error.
// When the registered file is gone, the platform cannot read which
// interfaces to remove; this file's own copy of the library names them.
void unregisterTypeLibrary(ITypeLib* library, REFGUID libraryId) {
    if (!isTypeLibraryRegistered(libraryId)) return;
    const HRESULT status = UnRegisterTypeLib(libraryId, 1, 0, 0, kSysKind);
    if (status != TYPE_E_INVALIDSTATE && status != TYPE_E_CANTLOADLIBRARY) {
        throwIfFailed(status);
        return;
    }
    for (const std::wstring& key : interfaceKeysOf(library)) removeTree(key);
    const std::wstring libraryKey = L"TypeLib\\" + textOfGuid(libraryId);
    removeTree(libraryKey + L"\\" + kLibraryVersion);
    removeKeyIfEmpty(libraryKey);
}

// Every key that registration writes: each library's own key and its
// interfaces, and each class's keys.
std::vector<std::wstring> registeredKeys(std::initializer_list<ITypeLib*> libraries) {
    std::set<std::wstring> keys;
    for (ITypeLib* library : libraries) {
        if (library == nullptr) continue;
        const LibAttr attributes(library);
        throwIfFailed(attributes.status());
        keys.insert(L"TypeLib\\" + textOfGuid(attributes->guid));
        for (std::wstring& key : interfaceKeysOf(library)) keys.insert(std::move(key));
    }
    for (const ClassEntry& entry : classCatalogue()) {
        keys.insert(L"CLSID\\" + textOfGuid(entry.classId));
        keys.insert(progIdOf(entry));
        keys.insert(L"Interface\\" + textOfGuid(entry.interfaceId));
    }
    return {keys.begin(), keys.end()};
}

// Runs one change of the registration, given the runtime constants library
// (null for a server without one) and the main library. Everything it may
// touch is read first; if the change fails part-way, the registry is put back as it was
// found, so it is never left half registered or half removed.
template <class Change>
HRESULT changeRegistration(Change&& change) noexcept {
    std::optional<RegistryBackup> backup;
    const HRESULT status = guardedCall(IID_NULL, [&] {
        const ComPtr<ITypeLib> runtime =
            thisServer().runtimeLibraryId != nullptr ? embeddedRuntimeTypeLibrary() : nullptr;
        const ComPtr<ITypeLib> library = embeddedTypeLibrary();
        backup.emplace(registeredKeys({runtime.Get(), library.Get()}));
        change(runtime.Get(), library.Get());
    });
    if (FAILED(status) && backup) backup->restore();
    return status;
}

void registerClass(const ClassEntry& entry, const std::wstring& serverPath, const std::wstring& libraryId) {
    const std::wstring progId = progIdOf(entry);
    const std::wstring classKey = L"CLSID\\" + textOfGuid(entry.classId);
    writeValue(classKey, nullptr, progId);
    writeValue(classKey + L"\\InprocServer32", nullptr, serverPath);
    writeValue(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    writeValue(classKey + L"\\ProgID", nullptr, progId);
    writeValue(classKey + L"\\TypeLib", nullptr, libraryId);
    writeValue(classKey + L"\\VERSION", nullptr, kLibraryVersion);
    if (entry.automationAddIn) createKey(classKey + L"\\Programmable");

    writeValue(progId, nullptr, progId);
    writeValue(progId + L"\\CLSID", nullptr, textOfGuid(entry.classId));

    const std::wstring interfaceKey = L"Interface\\" + textOfGuid(entry.interfaceId);
    writeValue(interfaceKey, nullptr, entry.interfaceName);
    writeValue(interfaceKey + L"\\ProxyStubClsid", nullptr, kAutomationMarshaler);
    writeValue(interfaceKey + L"\\ProxyStubClsid32", nullptr, kAutomationMarshaler);
    writeValue(interfaceKey + L"\\TypeLib", nullptr, libraryId);
    writeValue(interfaceKey + L"\\TypeLib", L"Version", kLibraryVersion);
}

void unregisterClass(const ClassEntry& entry) {
    removeTree(L"CLSID\\" + textOfGuid(entry.classId));
    removeTree(progIdOf(entry));
    removeTree(L"Interface\\" + textOfGuid(entry.interfaceId));
}

} // namespace

HRESULT registerServer() noexcept {
    return changeRegistration([](ITypeLib* runtime, ITypeLib* library) {
        const std::wstring serverPath = modulePath();
        // The runtime constants library first: the main library refers to it.
        if (runtime != nullptr) registerTypeLibrary(runtime, runtimeTypeLibraryPath(), folderOf(serverPath));
        registerTypeLibrary(library, serverPath, folderOf(serverPath));
        const std::wstring libraryId = textOfGuid(thisServer().libraryId);
        for (const ClassEntry& entry : classCatalogue()) registerClass(entry, serverPath, libraryId);
    });
}

HRESULT unregisterServer() noexcept {
    return changeRegistration([](ITypeLib* runtime, ITypeLib* library) {
        for (const ClassEntry& entry : classCatalogue()) unregisterClass(entry);
        unregisterTypeLibrary(library, thisServer().libraryId);
        if (runtime != nullptr) unregisterTypeLibrary(runtime, *thisServer().runtimeLibraryId);
    });
}

} // namespace numoria::frame
