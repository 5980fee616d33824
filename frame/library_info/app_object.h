// The App object: the library's standard properties (file name, folder,
// title, help file, version numbers and version-block texts), one per thread.
//
// A thread's module data keeps its App object for every later call; that
// cached reference does not keep the library loaded. Only references held by
// callers count as a live object for DllCanUnloadNow, so a thread that only
// read the standard properties does not pin the library.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace numoria::frame {

class AppObject;

// A new App object held only by the cache that creates it.
AppObject* newCachedAppObject();

// The object's dispatch interface; the result carries a new caller reference.
IDispatch* callerReference(AppObject& app) noexcept;

// The cache lets go of the object; it is freed now unless callers still hold
// it, in which case their last release frees it. Calls no code outside the
// library, so it is safe during thread detach.
void dropFromCache(AppObject* app) noexcept;

} // namespace numoria::frame
