// The class factory of one public class. Every creation request makes a new
// object and runs the server's initialisation of objects (numori10.dll's
// environment-status call) before the creator receives it.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "frame/server/class_catalogue.h"

namespace numoria::frame {

HRESULT classFactoryFor(const ClassEntry& entry, REFIID iid, void** factory) noexcept;

} // namespace numoria::frame
