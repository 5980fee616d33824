// The names of the keys that in-process servers register: the subkeys of
// HKEY_CLASSES_ROOT itself (programmatic identifiers) and of its CLSID,
// Interface and TypeLib keys, as one sorted set of paths.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace wine_tests {

using RegistrySnapshot = std::set<std::wstring>;

RegistrySnapshot snapshotClassRegistrations();

// A GUID as the registry writes it in key names: {XXXXXXXX-...}.
std::wstring guidText(const GUID& guid);

// The keys that registering the type library at `path` writes: its TypeLib
// key and the Interface key of each interface it describes (none when it
// does not load; a failure is a test failure).
std::vector<std::wstring> typeLibraryKeys(const std::wstring& path);

// The text of a value of a key under HKEY_CLASSES_ROOT; "" when the key or
// the value is absent. Any other failure to read it throws FailedStatus.
std::wstring classRegistryText(const std::wstring& key, const wchar_t* valueName);

} // namespace wine_tests
