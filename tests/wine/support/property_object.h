// An automation object with fixed read-only properties, reachable by name:
// what a test hands the stand-in in place of the library's App object or the
// runtime's Err object.
#pragma once

#include "automation_raii.h"

#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

namespace wine_tests {

Microsoft::WRL::ComPtr<IDispatch> makePropertyObject(std::vector<std::pair<std::wstring, Variant>> properties);

} // namespace wine_tests
