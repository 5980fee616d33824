// IUnknown for a test's own COM object on the heap: the frame's one
// reference-counting base (frame/com/ref_counted.h). It answers to IUnknown
// and its one interface, starts with one reference (the creator's) and
// deletes itself with its last.
#pragma once

#include "frame/com/ref_counted.h"

namespace wine_tests {

template <class Derived, class Interface>
using HeapComObject = numoria::frame::RefCounted<Derived, Interface>;

} // namespace wine_tests
