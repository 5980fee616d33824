// The six public classes: name, class and interface identifiers, and how to
// make a new (not yet initialised) object of each.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace numoria::frame {

struct ClassEntry {
    const wchar_t* name;            // clsVxNumsMatrixA
    const wchar_t* interfaceName;   // _clsVxNumsMatrixA
    const CLSID& classId;
    const IID& interfaceId;
    IUnknown* (*create)();          // a new object holding one reference
};

std::span<const ClassEntry> classCatalogue();
const ClassEntry* findClass(REFCLSID classId) noexcept;

} // namespace numoria::frame
