// clsVxfuEnvironmentA: EnsureVxEnvironmentStatus(bool, short) checks nothing
// and only leaves a trace, so callers can count the calls.
#include "framework_members.h"

#include "report_log.h"
#include "test_hooks.h"

namespace vxfu {

CallOutcome ensureEnvironmentStatus(const CallArguments& args, VARIANT*) {
    Variant flag, code;
    if (FAILED(coerceArgument(args[0], VT_BOOL, flag))) return typeMismatch(0);
    if (FAILED(coerceArgument(args[1], VT_I2, code))) return typeMismatch(1);
    recordLine(L"EnsureVxEnvironmentStatus | " + std::wstring(flag.get()->boolVal ? L"True" : L"False") + L" | " +
               std::to_wstring(code.get()->iVal));
    if (auto number = hooks::forcedError(hooks::kFailEnvironment))
        return raise(*number, L"The environment status could not be ensured");
    return {};
}

} // namespace vxfu
