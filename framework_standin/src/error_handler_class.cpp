// clsVxfuErrorHandlerA: ErrorHandlerMessageVx records each report it is
// given: the error's number, source and description, and where it arose.
#include "framework_members.h"

#include "late_bound_reader.h"
#include "report_log.h"
#include "test_hooks.h"

namespace vxfu {

// Arguments: app, error object, text, location, long, text, long, optional.
CallOutcome error_handler_message(const CallArguments& args, VARIANT*) {
    IDispatch* error = argument_object(args[1]);
    if (!error) return type_mismatch(1);
    record_line(L"ErrorHandlerMessageVx | " + read_property_text(error, L"Number") + L" | " +
                read_property_text(error, L"Source") + L" | " + read_property_text(error, L"Description") + L" | " +
                variant_text(args[3]));
    if (auto number = hooks::forced_error(hooks::kFailErrorHandler))
        return raise(*number, L"The error report could not be delivered");
    return {};
}

} // namespace vxfu
