#include "framework_classes.h"

#include "framework_members.h"

namespace vxfu {
namespace {

constexpr MemberDescription kEnvironmentMembers[] = {
    {L"EnsureVxEnvironmentStatus", 1, 2, 2, ensureEnvironmentStatus},
};
constexpr MemberDescription kFrameworkMembers[] = {
    {L"AppAboutVxfu", 1, 1, 1, appAbout},
};
constexpr MemberDescription kErrorHandlerMembers[] = {
    // The eighth argument is optional.
    {L"ErrorHandlerMessageVx", 1, 7, 8, errorHandlerMessage},
};

const ClassDescription kClasses[] = {
    {L"clsVxfuEnvironmentA",
     L"VxFundara10.clsVxfuEnvironmentA",
     {0x3a7c1e52, 0x8d41, 0x4f6b, {0x9e, 0x2a, 0x51, 0x0c, 0x7d, 0x84, 0xb3, 0x01}},
     kEnvironmentMembers},
    {L"clsVxFundara10A",
     L"VxFundara10.clsVxFundara10A",
     {0x3a7c1e52, 0x8d41, 0x4f6b, {0x9e, 0x2a, 0x51, 0x0c, 0x7d, 0x84, 0xb3, 0x02}},
     kFrameworkMembers},
    {L"clsVxfuErrorHandlerA",
     L"VxFundara10.clsVxfuErrorHandlerA",
     {0x3a7c1e52, 0x8d41, 0x4f6b, {0x9e, 0x2a, 0x51, 0x0c, 0x7d, 0x84, 0xb3, 0x03}},
     kErrorHandlerMembers},
};

} // namespace

std::span<const ClassDescription> frameworkClasses() { return kClasses; }

} // namespace vxfu
