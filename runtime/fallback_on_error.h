// The trap-and-fallback style of the conversion and combinatorics methods:
// every error raised inside a call is caught and the call hands back a fixed
// fallback value instead, so that the caller never sees an error.
#pragma once

#include <new>
#include <utility>

#include "runtime/runtime_error.h"

namespace numoria {

// Returns attempt(), or `fallback` when the attempt raises a runtime error or
// runs out of memory (the runtime's out-of-memory error, 7).
template <typename T, typename Attempt>
T valueOrFallback(T fallback, Attempt attempt) {
    try {
        return attempt();
    } catch (const RuntimeError&) {
        return fallback;
    } catch (const std::bad_alloc&) {
        return fallback;
    }
}

} // namespace numoria
