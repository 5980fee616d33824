// The maker of clsVxNumsArraysA objects: a new object holding one
// reference, or null when it cannot be allocated.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace numoria::frame {

IUnknown* newArraysObject();

} // namespace numoria::frame
