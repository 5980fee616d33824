// What an in-process server built on the frame serves: its classes (name,
// class and interface identifiers, and how to make a new, not yet
// initialised object of each), the type libraries it registers, and what its
// entry point and every object creation run. Each DLL defines thisServer()
// once; the frame's class factory, registration and exports read it.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace numoria::frame {

struct ClassEntry {
    const wchar_t* name;          // clsVxNumsMatrixA
    const wchar_t* interfaceName; // _clsVxNumsMatrixA
    const CLSID& classId;
    const IID& interfaceId;
    IUnknown* (*create)(); // a new object holding one reference
    // Registered with the Programmable key, so that a spreadsheet can load
    // the class as an automation add-in and call its methods from cells.
    bool automationAddIn = false;
};

struct ServerDescription {
    const wchar_t* libraryName;   // the type library's name, the programmatic identifiers' prefix
    const GUID& libraryId;        // the type library embedded as TYPELIB resource 1
    const GUID* runtimeLibraryId; // a runtime constants library as TYPELIB resource 2, or null
    std::span<const ClassEntry> classes;
    // Run for every new object before its creator receives it; null for none.
    void (*initialiseObject)();
    // The entry point's notices; null where the server keeps no per-thread data.
    bool (*processAttach)();
    void (*threadDetach)();
    void (*processDetach)(bool processEnding);
};

// The description of this DLL, defined by the DLL itself.
const ServerDescription& thisServer();

std::span<const ClassEntry> classCatalogue();
const ClassEntry* findClass(REFCLSID classId) noexcept;

} // namespace numoria::frame
