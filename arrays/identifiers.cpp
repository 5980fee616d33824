// Defines the identifiers (LIBID_, IID_, CLSID_) the generated header declares.
#include <windows.h>
#include <initguid.h>

#include "numori10arrays.h"
