// What the whole module keeps: its own handle and path, and the count of
// live objects and class-factory locks that decides whether it may unload.
#pragma once

#include <windows.h>

#include <string>

namespace numoria::frame {

void setModuleHandle(HINSTANCE module) noexcept;
HINSTANCE moduleHandle() noexcept;
// The full path of this file, as the loader found it.
std::wstring modulePath();

// Live objects, class factories held by clients, class-factory locks and
// outstanding record descriptions.
void lockModule() noexcept;
void unlockModule() noexcept;
bool moduleInUse() noexcept;

} // namespace numoria::frame
