// The makers of the six public classes' objects: each returns a new object
// (not yet initialised) holding one reference, or null when it cannot be
// allocated. The class catalogue of the server lists them.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace numoria::frame {

IUnknown* newInformationObject();
IUnknown* newGeneralObject();
IUnknown* newAdvancedObject();
IUnknown* newMatrixObject();
IUnknown* newConversionsObject();
IUnknown* newPerComObject();

} // namespace numoria::frame
