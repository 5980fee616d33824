#include "frame/library_info/app_object.h"

#include <new>
#include <string>
#include <utility>

#include "frame/com/cache_held_count.h"
#include "frame/com/ref_counted.h"
#include "early_bound.h"
#include "frame/dispatch/dispatching_interface.h"
#include "frame/library_info/version_block.h"
#include "frame/module/module_state.h"

namespace numoria::frame {

namespace {

// The module's path split at its last separator: the folder it was loaded
// from (no trailing separator) and the file name.
std::pair<std::u16string, std::u16string> folderAndFileName() {
    const std::wstring path = modulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    return {std::u16string(path.begin(),
                           path.begin() + static_cast<std::ptrdiff_t>(slash == std::wstring::npos ? 0 : slash)),
            std::u16string(path.begin() + static_cast<std::ptrdiff_t>(nameStart), path.end())};
}

// The file name without its extension: "numori10".
std::u16string exeName() {
    std::u16string name = folderAndFileName().second;
    const std::size_t dot = name.find_last_of(u'.');
    if (dot != std::u16string::npos) name.resize(dot);
    return name;
}

std::u16string folder() { return folderAndFileName().first; }
std::u16string title() { return versionText(L"ProductName"); }
std::u16string helpFile() { return {}; }
std::int16_t majorVersion() { return fileVersionNumbers().major; }
std::int16_t minorVersion() { return fileVersionNumbers().minor; }
std::int16_t revision() { return fileVersionNumbers().revision; }

template <const wchar_t* Key>
std::u16string versionTextOf() {
    return versionText(Key);
}

constexpr wchar_t kComments[] = L"Comments";
constexpr wchar_t kCompanyName[] = L"CompanyName";
constexpr wchar_t kFileDescription[] = L"FileDescription";
constexpr wchar_t kLegalCopyright[] = L"LegalCopyright";
constexpr wchar_t kLegalTrademarks[] = L"LegalTrademarks";
constexpr wchar_t kProductName[] = L"ProductName";

constexpr WORD kGet = DISPATCH_PROPERTYGET;
using I = _LibraryApp;

constexpr auto kAppMembers = members(
    member<&I::get_EXEName, &exeName>(L"EXEName", 1, kGet), member<&I::get_Path, &folder>(L"Path", 2, kGet),
    member<&I::get_Title, &title>(L"Title", 3, kGet), member<&I::get_HelpFile, &helpFile>(L"HelpFile", 4, kGet),
    member<&I::get_Major, &majorVersion>(L"Major", 5, kGet), member<&I::get_Minor, &minorVersion>(L"Minor", 6, kGet),
    member<&I::get_Revision, &revision>(L"Revision", 7, kGet),
    member<&I::get_Comments, &versionTextOf<kComments>>(L"Comments", 8, kGet),
    member<&I::get_CompanyName, &versionTextOf<kCompanyName>>(L"CompanyName", 9, kGet),
    member<&I::get_FileDescription, &versionTextOf<kFileDescription>>(L"FileDescription", 10, kGet),
    member<&I::get_LegalCopyright, &versionTextOf<kLegalCopyright>>(L"LegalCopyright", 11, kGet),
    member<&I::get_LegalTrademarks, &versionTextOf<kLegalTrademarks>>(L"LegalTrademarks", 12, kGet),
    member<&I::get_ProductName, &versionTextOf<kProductName>>(L"ProductName", 13, kGet));

// Reference counting of the App object: caller references, the first of
// which makes the object live for the module, and the cache's hold; the
// object is freed by whichever comes last of the last caller's release and
// the cache letting go.
class AppObjectBody : public RefCounted<AppObject, DispatchingInterface<_LibraryApp, kAppMembers>> {
public:
    void* interfaceFor(REFIID iid) noexcept {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(_LibraryApp)) return nullptr;
        return static_cast<_LibraryApp*>(this);
    }
    ULONG addReference() noexcept {
        const ULONG count = count_.addCaller();
        if (count == 1) lockModule();
        return count;
    }
    ULONG releaseReference() noexcept;
    void leaveCache() noexcept;

protected:
    AppObjectBody() = default;
    ~AppObjectBody() = default;

private:
    CacheHeldCount count_;
};

} // namespace

class AppObject final : public EarlyBound<_LibraryApp>::On<AppObjectBody> {};

namespace {

ULONG AppObjectBody::releaseReference() noexcept {
    const CacheHeldCount::Release released = count_.releaseCaller();
    if (released.free) delete static_cast<AppObject*>(this);
    if (released.lastCaller) unlockModule();
    return released.remaining;
}

void AppObjectBody::leaveCache() noexcept {
    if (count_.leaveCache()) delete static_cast<AppObject*>(this);
}

} // namespace

AppObject* newCachedAppObject() { return new AppObject(); }

IDispatch* callerReference(AppObject& app) noexcept {
    app.AddRef();
    return static_cast<_LibraryApp*>(&app);
}

void dropFromCache(AppObject* app) noexcept {
    if (app != nullptr) app->leaveCache();
}

} // namespace numoria::frame
