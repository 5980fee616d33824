// Where the stand-in records what it was asked to do: the debugger output
// always, and one line appended to the file named by NUMORIA_STANDIN_LOG.
#pragma once

#include <string>

namespace vxfu {

void recordLine(const std::wstring& line);

} // namespace vxfu
