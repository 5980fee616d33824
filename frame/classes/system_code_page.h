// The system's ANSI code page as the hexadecimal reader sees it: the code of
// one UTF-16 unit, a double-byte code as lead * 256 + trail in 16 bits.
#pragma once

#include "conversions/ansi_code_page.h"

namespace numoria::frame {

const conversions::AnsiCodePage& systemAnsiCodePage();

} // namespace numoria::frame
