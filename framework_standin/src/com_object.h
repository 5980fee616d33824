// The common body of the stand-in's objects: the frame's one reference-
// counting base (one interface besides IUnknown, a count starting at one,
// the creator's), and a place among the module's live objects for
// DllCanUnloadNow.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "frame/com/ref_counted.h"
#include "module_lifetime.h"

namespace vxfu {

template <class Derived, class Interface>
class ComObject : public numoria::frame::RefCounted<Derived, Interface> {
public:
    ComObject() { moduleObjectCreated(); }

protected:
    ~ComObject() { moduleObjectDestroyed(); }
};

} // namespace vxfu
