#include "frame/library_info/app_object.h"

#include <new>
#include <string>
#include <utility>

#include "frame/com/cache_held_count.h"
#include "frame/com/ref_counted.h"
#include "frame/dispatch/dispatching_interface.h"
#include "frame/library_info/version_block.h"
#include "frame/server/module_state.h"
#include "numoria_runtime.h"

namespace numoria::frame {

namespace {

// The module's path split at its last separator: the folder it was loaded
// from (no trailing separator) and the file name.
std::pair<std::u16string, std::u16string> folderAndFileName() {
    const std::wstring path = modulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    return {std::u16string(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(slash == std::wstring::npos ? 0 : slash)),
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

constexpr Member kAppMembers[] = {
    member<&exeName>(L"EXEName", 1, kGet),
    member<&folder>(L"Path", 2, kGet),
    member<&title>(L"Title", 3, kGet),
    member<&helpFile>(L"HelpFile", 4, kGet),
    member<&majorVersion>(L"Major", 5, kGet),
    member<&minorVersion>(L"Minor", 6, kGet),
    member<&revision>(L"Revision", 7, kGet),
    member<&versionTextOf<kComments>>(L"Comments", 8, kGet),
    member<&versionTextOf<kCompanyName>>(L"CompanyName", 9, kGet),
    member<&versionTextOf<kFileDescription>>(L"FileDescription", 10, kGet),
    member<&versionTextOf<kLegalCopyright>>(L"LegalCopyright", 11, kGet),
    member<&versionTextOf<kLegalTrademarks>>(L"LegalTrademarks", 12, kGet),
    member<&versionTextOf<kProductName>>(L"ProductName", 13, kGet),
};

} // namespace

class AppObject final : public RefCounted<AppObject, DispatchingInterface<_LibraryApp>> {
public:
    AppObject() : dispatcher_(kAppMembers, __uuidof(_LibraryApp)) {}

    void* interfaceFor(REFIID iid) noexcept {
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != __uuidof(_LibraryApp)) return nullptr;
        return static_cast<_LibraryApp*>(this);
    }
    // Caller references: the first one makes the object live for the
    // module; the object is freed by whichever comes last of the last
    // caller's release and the cache letting go.
    ULONG addReference() noexcept {
        const ULONG count = count_.addCaller();
        if (count == 1) lockModule();
        return count;
    }
    ULONG releaseReference() noexcept {
        const CacheHeldCount::Release released = count_.releaseCaller();
        if (released.free) delete this;
        if (released.lastCaller) unlockModule();
        return released.remaining;
    }

    void leaveCache() noexcept {
        if (count_.leaveCache()) delete this;
    }

    HRESULT STDMETHODCALLTYPE get_EXEName(BSTR* pRet) override { return earlyCall<&exeName>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_Path(BSTR* pRet) override { return earlyCall<&folder>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_Title(BSTR* pRet) override { return earlyCall<&title>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_HelpFile(BSTR* pRet) override { return earlyCall<&helpFile>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_Major(short* pRet) override { return earlyCall<&majorVersion>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_Minor(short* pRet) override { return earlyCall<&minorVersion>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_Revision(short* pRet) override { return earlyCall<&revision>(interfaceId(), pRet); }
    HRESULT STDMETHODCALLTYPE get_Comments(BSTR* pRet) override {
        return earlyCall<&versionTextOf<kComments>>(interfaceId(), pRet);
    }
    HRESULT STDMETHODCALLTYPE get_CompanyName(BSTR* pRet) override {
        return earlyCall<&versionTextOf<kCompanyName>>(interfaceId(), pRet);
    }
    HRESULT STDMETHODCALLTYPE get_FileDescription(BSTR* pRet) override {
        return earlyCall<&versionTextOf<kFileDescription>>(interfaceId(), pRet);
    }
    HRESULT STDMETHODCALLTYPE get_LegalCopyright(BSTR* pRet) override {
        return earlyCall<&versionTextOf<kLegalCopyright>>(interfaceId(), pRet);
    }
    HRESULT STDMETHODCALLTYPE get_LegalTrademarks(BSTR* pRet) override {
        return earlyCall<&versionTextOf<kLegalTrademarks>>(interfaceId(), pRet);
    }
    HRESULT STDMETHODCALLTYPE get_ProductName(BSTR* pRet) override {
        return earlyCall<&versionTextOf<kProductName>>(interfaceId(), pRet);
    }

private:
    friend RefCounted;
    ~AppObject() = default;
    const Dispatcher& dispatcher() const noexcept override { return dispatcher_; }

    Dispatcher dispatcher_;
    CacheHeldCount count_;
};

AppObject* newCachedAppObject() { return new AppObject(); }

IDispatch* callerReference(AppObject& app) noexcept {
    app.AddRef();
    return static_cast<_LibraryApp*>(&app);
}

void dropFromCache(AppObject* app) noexcept {
    if (app != nullptr) app->leaveCache();
}

} // namespace numoria::frame
