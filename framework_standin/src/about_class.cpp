// clsVxFundara10A: AppAboutVxfu(app) shows the title and version that the
// given library's App object reports. Without a desktop it writes the
// message to the log instead.
#include "framework_members.h"

#include "late_bound_reader.h"
#include "report_log.h"
#include "test_hooks.h"

namespace vxfu {
namespace {

bool desktop_available() {
    if (hooks::ui_disabled()) return false;
    HWINSTA station = GetProcessWindowStation();
    if (!station) return false;
    USEROBJECTFLAGS flags{};
    if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return false;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

} // namespace

CallOutcome app_about(const CallArguments& args, VARIANT*) {
    IDispatch* app = argument_object(args[0]);
    if (!app) return type_mismatch(0);
    std::wstring message = read_property_text(app, L"Title") + L" " + read_property_text(app, L"Major") + L"." +
                           read_property_text(app, L"Minor") + L"." + read_property_text(app, L"Revision");
    record_line(L"AppAboutVxfu | " + message);
    if (auto number = hooks::forced_error(hooks::kFailAbout))
        return raise(*number, L"The About box could not be shown");
    if (desktop_available()) MessageBoxW(nullptr, message.c_str(), L"About", MB_OK | MB_ICONINFORMATION);
    return {};
}

} // namespace vxfu
