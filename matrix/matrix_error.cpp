#include "matrix/matrix_error.h"

#include <string>

#include "runtime/runtime_error.h"

namespace numoria::matrix {

void raiseMatrixError(std::string_view method, std::string_view description) {
    throw RuntimeError(static_cast<std::int32_t>(ErrorNumber::MatrixError), "ZizivaDav - " + std::string(method),
                       std::string(description));
}

} // namespace numoria::matrix
