// clsVxfuErrorHandlerA: ErrorHandlerMessageVx records each report it is
// given: the error's number, source and description, and where it arose.
#include "framework_members.h"

#include "late_bound_reader.h"
#include "report_log.h"
#include "test_hooks.h"

namespace vxfu {

// Arguments: app, error object, text, location, long, text, long, optional.
CallOutcome errorHandlerMessage(const CallArguments& args, VARIANT*) {
    IDispatch* error = argumentObject(args[1]);
    if (!error) return typeMismatch(1);
    recordLine(L"ErrorHandlerMessageVx | " + readPropertyText(error, L"Number") + L" | " +
               readPropertyText(error, L"Source") + L" | " + readPropertyText(error, L"Description") + L" | " +
               variantText(args[3]));
    if (auto number = hooks::forcedError(hooks::kFailErrorHandler))
        return raise(*number, L"The error report could not be delivered");
    return {};
}

} // namespace vxfu
