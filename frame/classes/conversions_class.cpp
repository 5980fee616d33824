// clsVxNumsConversionsA: number-base conversions; the hexadecimal reader
// takes character codes from the system's ANSI code page.
#include "conversions/conversions.h"
#include "frame/classes/class_makers.h"
#include "frame/classes/system_code_page.h"
#include "frame/dispatch/automation_object.h"

namespace numoria::frame {

namespace {

namespace conv = numoria::conversions;
using I = _clsVxNumsConversionsA;

std::int32_t hexToDecimal(std::u16string_view pValue) { return conv::HexToDecimal(pValue, systemAnsiCodePage()); }

constexpr auto kConversionsMembers =
    members(member<&I::DecimalToBinary, &conv::DecimalToBinary>(L"DecimalToBinary", 0x60030001),
            member<&I::BinaryToDecimal, &conv::BinaryToDecimal>(L"BinaryToDecimal", 0x60030002),
            member<&I::DecimalToHex, &conv::DecimalToHex>(L"DecimalToHex", 0x60030003),
            member<&I::HexToDecimal, &hexToDecimal>(L"HexToDecimal", 0x60030004),
            member<&I::DecimalToOctal, &conv::DecimalToOctal>(L"DecimalToOctal", 0x60030005),
            member<&I::OctalToDecimal, &conv::OctalToDecimal>(L"OctalToDecimal", 0x60030006));

} // namespace

IUnknown* newConversionsObject() { return newAutomationObject<I, kConversionsMembers>(); }

} // namespace numoria::frame
