// Registers the three routes of one call as benchmarks named
// "<call>/early", "<call>/invoke" and "<call>/dispinvoke". Each first makes
// one call and checks its result; a route that fails or gives a wrong
// result is reported as an error with the reason, and is not timed.
#pragma once

#include <memory>
#include <string>

#include "call_fixture.h"

namespace numoria_bench {

inline constexpr const char* kEarlyRoute = "early";
inline constexpr const char* kInvokeRoute = "invoke";
inline constexpr const char* kDispInvokeRoute = "dispinvoke";

void registerRoutes(const std::string& call, const std::shared_ptr<CallFixture>& fixture);

} // namespace numoria_bench
