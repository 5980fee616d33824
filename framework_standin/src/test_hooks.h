// Test hooks of the stand-in framework library. All are off unless the named
// environment variable is set; each is read again on every call, so a test
// process can switch them with SetEnvironmentVariable between calls.
//
//   NUMORIA_STANDIN_LOG=<path>
//       Append one line per call to this file (UTF-8). Lines:
//         EnsureVxEnvironmentStatus | <bool> | <short>
//         AppAboutVxfu | <title> <major>.<minor>.<revision>
//         ErrorHandlerMessageVx | <number> | <source> | <description> | <location>
//   NUMORIA_STANDIN_NO_UI=1
//       AppAboutVxfu writes its message to the log instead of showing a
//       message box (also done when the process has no visible window station).
//   NUMORIA_STANDIN_FAIL_ENVIRONMENT=<n>
//       EnsureVxEnvironmentStatus raises automation error n: DISP_E_EXCEPTION
//       with EXCEPINFO scode 0x800A0000+n, source "VxFundara10". A negative
//       n is a status (-2147352562 is DISP_E_BADPARAMCOUNT) that the call
//       returns as it is, without an exception; likewise for the two below.
//   NUMORIA_STANDIN_FAIL_ABOUT=<n>
//       AppAboutVxfu raises automation error n in the same way.
//   NUMORIA_STANDIN_FAIL_ERRORHANDLER=<n>
//       ErrorHandlerMessageVx logs the report, then raises automation error n.
//   NUMORIA_STANDIN_REFUSE=<class>[,<class>...]
//       The class factory refuses to create these classes (short names such
//       as clsVxfuEnvironmentA): IClassFactory::CreateInstance fails with
//       CLASS_E_CLASSNOTAVAILABLE.
#pragma once

#include <optional>
#include <string>

namespace vxfu::hooks {

std::wstring logPath();
bool uiDisabled();
std::optional<long> forcedError(const wchar_t* variable);
bool classRefused(const std::wstring& className);

inline constexpr wchar_t kFailEnvironment[] = L"NUMORIA_STANDIN_FAIL_ENVIRONMENT";
inline constexpr wchar_t kFailAbout[] = L"NUMORIA_STANDIN_FAIL_ABOUT";
inline constexpr wchar_t kFailErrorHandler[] = L"NUMORIA_STANDIN_FAIL_ERRORHANDLER";

} // namespace vxfu::hooks
