#include "frame/server/registration.h"

#include <wrl/client.h>

#include <string>

#include "frame/errors/automation_error.h"
#include "frame/errors/frame_error.h"
#include "frame/server/class_catalogue.h"
#include "frame/server/module_state.h"
#include "frame/server/type_library.h"
#include "numori10.h"

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

std::wstring progIdOf(const ClassEntry& entry) { return std::wstring(L"Numoria10.") + entry.name; }

// Sets a value below HKEY_CLASSES_ROOT, creating the key; an empty name is
// the key's default value.
void writeValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    if (status != ERROR_SUCCESS) throw FrameError(HRESULT_FROM_WIN32(status));
}

void removeTree(const std::wstring& keyPath) { RegDeleteTreeW(HKEY_CLASSES_ROOT, keyPath.c_str()); }

void registerTypeLibrary(ITypeLib* library, const std::wstring& path) {
    throwIfFailed(RegisterTypeLib(library, const_cast<LPOLESTR>(path.c_str()), nullptr));
}

// Removing a library that is not (or no longer) registered is no error.
void unregisterTypeLibrary(REFGUID libraryId) {
    const HRESULT status = UnRegisterTypeLib(libraryId, 1, 0, 0, kSysKind);
    if (FAILED(status) && status != TYPE_E_REGISTRYACCESS && status != TYPE_E_CANTLOADLIBRARY &&
        status != TYPE_E_LIBNOTREGISTERED)
        throw FrameError(status);
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
    const HRESULT status = guardedCall(IID_NULL, [] {
        const std::wstring serverPath = modulePath();
        // The runtime constants library first: the main library refers to it.
        registerTypeLibrary(embeddedRuntimeTypeLibrary().Get(), runtimeTypeLibraryPath());
        registerTypeLibrary(embeddedTypeLibrary().Get(), serverPath);
        const std::wstring libraryId = textOfGuid(LIBID_Numoria10);
        for (const ClassEntry& entry : classCatalogue()) registerClass(entry, serverPath, libraryId);
    });
    // Leave no half registration behind.
    if (FAILED(status)) unregisterServer();
    return status;
}

HRESULT unregisterServer() noexcept {
    return guardedCall(IID_NULL, [] {
        for (const ClassEntry& entry : classCatalogue()) unregisterClass(entry);
        unregisterTypeLibrary(LIBID_Numoria10);
        unregisterTypeLibrary(LIBID_Numoria10Runtime);
    });
}

} // namespace numoria::frame
