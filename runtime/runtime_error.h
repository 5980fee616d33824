// One error type for everything the library raises: a number, a source text
// and a description, as an automation client reads them back from Err.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace numoria {

// Numbers of the runtime errors the arithmetic can meet.
enum class ErrorNumber : std::int32_t {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    InvalidUseOfNull = 94,
    ResourceNotFound = 326,
    MatrixError = 1000,
};

// Source text of the runtime's own errors: the library's project name.
inline constexpr const char* kRuntimeErrorSource = "Numoria10";

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::int32_t number, std::string source, std::string description);

    std::int32_t number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// The standard description of a runtime error number ("Overflow", ...);
// an empty text for a number that has none here.
std::string standardDescription(std::int32_t number);

// Raises a runtime error with its standard description and the library's source.
[[noreturn]] void raiseRuntimeError(ErrorNumber number);

} // namespace numoria
