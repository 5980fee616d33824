#include "runtime/runtime_error.h"

#include <array>
#include <new>
#include <utility>

namespace numoria {

RuntimeError::RuntimeError(std::int32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

std::string standardDescription(std::int32_t number) {
    struct Entry {
        std::int32_t number;
        const char* text;
    };
    static constexpr std::array<Entry, 16> kTexts{{
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {10, "This array is fixed or temporarily locked"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {91, "Object variable or With block variable not set"},
        {94, "Invalid use of Null"},
        {429, "ActiveX component can't create object"},
        {438, "Object doesn't support this property or method"},
        {446, "Object doesn't support named arguments"},
        {448, "Named argument not found"},
        {449, "Argument not optional"},
        {450, "Wrong number of arguments or invalid property assignment"},
        {458, "Variable uses an Automation type not supported in Visual Basic"},
    }};
    for (const Entry& entry : kTexts) {
        if (entry.number == number) return entry.text;
    }
    return {};
}

void raiseRuntimeError(ErrorNumber number) {
    const auto value = static_cast<std::int32_t>(number);
    throw RuntimeError(value, kRuntimeErrorSource, standardDescription(value));
}

RuntimeError currentRuntimeError() {
    try {
        throw;
    } catch (const RuntimeError& error) {
        return error;
    } catch (const std::bad_alloc&) {
        const auto number = static_cast<std::int32_t>(ErrorNumber::OutOfMemory);
        return RuntimeError(number, kRuntimeErrorSource, standardDescription(number));
    }
}

} // namespace numoria
