// Runs code on a thread of its own in a fresh apartment, single-threaded or
// the multithreaded one, while the calling single-threaded apartment keeps
// serving the calls that code makes back into it.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>

namespace wine_tests {

enum class Apartment { SingleThreaded, MultiThreaded };

const char* apartmentName(Apartment apartment);

// False when the thread could not start its apartment or did not finish
// within the time limit.
bool runInApartment(Apartment apartment, const std::function<void()>& body, DWORD timeLimitMs = 30000);

} // namespace wine_tests
