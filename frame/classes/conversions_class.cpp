// clsVxNumsConversionsA: number-base conversions; the hexadecimal reader
// takes character codes from the system's ANSI code page.
#include "conversions/conversions.h"
#include "frame/classes/system_code_page.h"
#include "frame/server/automation_object.h"
#include "frame/server/class_catalogue.h"

namespace numoria::frame {

namespace {

namespace conv = numoria::conversions;

std::int32_t hexToDecimal(std::u16string_view pValue) { return conv::HexToDecimal(pValue, systemAnsiCodePage()); }

constexpr Member kConversionsMembers[] = {
    member<&conv::DecimalToBinary>(L"DecimalToBinary", 0x60030001),
    member<&conv::BinaryToDecimal>(L"BinaryToDecimal", 0x60030002),
    member<&conv::DecimalToHex>(L"DecimalToHex", 0x60030003),
    member<&hexToDecimal>(L"HexToDecimal", 0x60030004),
    member<&conv::DecimalToOctal>(L"DecimalToOctal", 0x60030005),
    member<&conv::OctalToDecimal>(L"OctalToDecimal", 0x60030006),
};

class ConversionsObject final : public AutomationObject<_clsVxNumsConversionsA> {
public:
    ConversionsObject() : AutomationObject(kConversionsMembers) {}

    HRESULT STDMETHODCALLTYPE DecimalToBinary(LONG pValue, BSTR* pRet) override {
        return earlyCall<&conv::DecimalToBinary>(interfaceId(), pRet, pValue);
    }
    HRESULT STDMETHODCALLTYPE BinaryToDecimal(BSTR pValue, LONG* pRet) override {
        return earlyCall<&conv::BinaryToDecimal>(interfaceId(), pRet, pValue);
    }
    HRESULT STDMETHODCALLTYPE DecimalToHex(LONG pValue, BSTR* pRet) override {
        return earlyCall<&conv::DecimalToHex>(interfaceId(), pRet, pValue);
    }
    HRESULT STDMETHODCALLTYPE HexToDecimal(BSTR pValue, LONG* pRet) override {
        return earlyCall<&hexToDecimal>(interfaceId(), pRet, pValue);
    }
    HRESULT STDMETHODCALLTYPE DecimalToOctal(LONG pValue, BSTR* pRet) override {
        return earlyCall<&conv::DecimalToOctal>(interfaceId(), pRet, pValue);
    }
    HRESULT STDMETHODCALLTYPE OctalToDecimal(BSTR pValue, LONG* pRet) override {
        return earlyCall<&conv::OctalToDecimal>(interfaceId(), pRet, pValue);
    }
};

} // namespace

IUnknown* newConversionsObject() {
    return static_cast<_clsVxNumsConversionsA*>(new (std::nothrow) ConversionsObject());
}

} // namespace numoria::frame
