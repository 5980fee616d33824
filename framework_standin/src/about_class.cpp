// clsVxFundara10A: AppAboutVxfu(app) shows the title and version that the
// given library's App object reports. Without a desktop it writes the
// message to the log instead.
#include "framework_members.h"

#include "late_bound_reader.h"
#include "report_log.h"
#include "test_hooks.h"

namespace vxfu {
namespace {

bool desktopAvailable() {
    if (hooks::uiDisabled()) return false;
    HWINSTA station = GetProcessWindowStation();
    if (!station) return false;
    USEROBJECTFLAGS flags{};
    if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr)) return false;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

} // namespace

CallOutcome appAbout(const CallArguments& args, VARIANT*) {
    IDispatch* app = argumentObject(args[0]);
    if (!app) return typeMismatch(0);
    std::wstring message = readPropertyText(app, L"Title") + L" " + readPropertyText(app, L"Major") + L"." +
                           readPropertyText(app, L"Minor") + L"." + readPropertyText(app, L"Revision");
    recordLine(L"AppAboutVxfu | " + message);
    if (auto number = hooks::forcedError(hooks::kFailAbout)) return raise(*number, L"The About box could not be shown");
    if (desktopAvailable()) MessageBoxW(nullptr, message.c_str(), L"About", MB_OK | MB_ICONINFORMATION);
    return {};
}

} // namespace vxfu
