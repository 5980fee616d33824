#include "runtime/runtime_error.h"

#include <array>
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
    static constexpr std::array<Entry, 7> kTexts{{
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {7, "Out of memory"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {94, "Invalid use of Null"},
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

} // namespace numoria
