// What the figures were measured on: the processor, its cores and caches,
// and the load average, read from the system.
#pragma once

#include <string>

namespace numoria::bench {

std::string processorDescription();
std::string loadAverage();

} // namespace numoria::bench
