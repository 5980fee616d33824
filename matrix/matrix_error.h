// The matrix class's own error: number 1000, source "ZizivaDav - " followed by
// the method's name, and one of a fixed set of descriptions.
#pragma once

#include <string_view>

namespace numoria::matrix {

[[noreturn]] void raiseMatrixError(std::string_view method, std::string_view description);

} // namespace numoria::matrix
