// Decodes Matrix records from the fuzz input: any 16-bit counts, and an
// element array that is absent, has the bounds a record built by the library
// has, or has arbitrary lower bounds and counts (possibly far smaller than
// the counts, or reaching past the 32-bit subscript range). Arrays stay
// within an element budget so that each run is quick.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "matrix/matrix.h"
#include "support/input_reader.h"

namespace numoria::fuzz {

matrix::Matrix readMatrix(InputReader& input, std::size_t elementBudget, std::optional<std::int16_t> likelyRows = {});

} // namespace numoria::fuzz
