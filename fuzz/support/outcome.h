// What every driver asserts about a call into the core: it returns, or it
// raises the library's RuntimeError with one of the numbers the library
// documents. Anything else (another exception, a broken invariant) stops the
// run with a trap, so that libFuzzer keeps the input that caused it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <optional>
#include <string>
#include <type_traits>

#include "runtime/runtime_error.h"

namespace numoria::fuzz {

[[noreturn]] inline void violated(const char* invariant) {
    std::fprintf(stderr, "fuzz invariant violated: %s\n", invariant);
    __builtin_trap();
}

inline void require(bool holds, const char* invariant) {
    if (!holds) violated(invariant);
}

struct RaisedError {
    std::int32_t number = 0;
    std::string source;
    std::string description;

    friend bool operator==(const RaisedError&, const RaisedError&) = default;
};

// Either the call's value or the error it raised.
template <typename T>
struct Outcome {
    std::optional<T> value;
    std::optional<RaisedError> error;
};

// Runs the call; a RuntimeError becomes the outcome's error, any other
// exception is a fault.
template <typename Call>
auto outcomeOf(Call call) -> Outcome<std::invoke_result_t<Call>> {
    try {
        return {call(), std::nullopt};
    } catch (const RuntimeError& error) {
        return {std::nullopt, RaisedError{error.number(), error.source(), error.description()}};
    } catch (...) {
        violated("the call raised something other than RuntimeError");
    }
}

// The error, if any, carries one of the allowed numbers.
template <typename T>
void requireErrorAmong(const Outcome<T>& outcome, std::initializer_list<ErrorNumber> allowed) {
    if (!outcome.error) return;
    for (const ErrorNumber number : allowed) {
        if (outcome.error->number == static_cast<std::int32_t>(number)) return;
    }
    std::fprintf(stderr, "unexpected error %d (%s)\n", outcome.error->number, outcome.error->description.c_str());
    violated("the call raised an error number it does not document");
}

} // namespace numoria::fuzz
