// Defines the identifiers numori10.h declares (LIBID_, IID_, CLSID_), once
// per program that links Numoria10::numori10.
#include <windows.h>
#include <initguid.h>

#include "numori10.h"
