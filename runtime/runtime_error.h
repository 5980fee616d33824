// One error type for everything the library raises: a number, a source text
// and a description, as an automation client reads them back from Err.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace numoria {

// Numbers of the runtime errors the library raises: those the arithmetic can
// meet, those of the resource loaders and of late-bound calls into the
// framework library, and the matrix class's own.
enum class ErrorNumber : std::int32_t {
    InvalidProcedureCall = 5,
    Overflow = 6,
    OutOfMemory = 7,
    SubscriptOutOfRange = 9,
    ArrayLocked = 10,
    DivisionByZero = 11,
    TypeMismatch = 13,
    ObjectVariableNotSet = 91,
    InvalidUseOfNull = 94,
    ResourceNotFound = 326,
    CannotCreateObject = 429,
    MemberNotSupported = 438,
    NoNamedArguments = 446,
    NamedArgumentNotFound = 448,
    ArgumentNotOptional = 449,
    WrongArgumentCount = 450,
    UnsupportedAutomationType = 458,
    MatrixError = 1000,
};

// Source text of the runtime's own errors: the library's project name. The
// one definition; the automation frame widens this text.
inline constexpr char kRuntimeErrorSource[] = "Numoria10";

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

// The runtime error a host reads for an exception that is being handled: a
// RuntimeError as it is, an allocation failure as out of memory (7). Call
// only inside a catch of either.
RuntimeError currentRuntimeError();

} // namespace numoria
