// clsVxNumoria10A from a client: the App object of standard properties, the
// resource loaders over the library's own file, and the per-thread
// BuddyObjectGlobal storage with exact reference counts.
#include "support/counted_object.h"
#include "support/late_bound.h"
#include "support/loaded_server.h"
#include "support/status_check.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "numori10.h"
#include "numoria_runtime.h"

using namespace wine_tests;

namespace {

ComPtr<IDispatch> newInformationObject() {
    Creation created = createByProgId(L"Numoria10.clsVxNumoria10A");
    EXPECT_EQ(created.status, S_OK);
    return created.object;
}

// as() and identity() also run on plain threads, where a throw would end the process: recorded, not thrown.
template <class Interface>
ComPtr<Interface> as(IUnknown* object) {
    ComPtr<Interface> typed;
    if (object) {
        EXPECT_EQ(object->QueryInterface(__uuidof(Interface), reinterpret_cast<void**>(typed.GetAddressOf())), S_OK);
    }
    return typed;
}

// The identity of an object: its IUnknown pointer.
IUnknown* identity(IUnknown* object) {
    if (!object) return nullptr;
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown.GetAddressOf())), S_OK);
    return unknown.Get();
}

// Runs `body` on a new single-threaded-apartment thread and waits for it.
void onApartmentThread(const std::function<void()>& body) {
    std::thread thread([&] {
        // A plain thread, where a throw would end the process: recorded, not thrown.
        const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(initialized, S_OK) << "CoInitializeEx on a new thread";
        body();
        if (SUCCEEDED(initialized)) CoUninitialize();
    });
    thread.join();
}

std::vector<unsigned char> fileBytes(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

std::vector<unsigned char> byteArray(const Variant& value) {
    std::vector<unsigned char> bytes;
    if (value.type() != (VT_ARRAY | VT_UI1)) return bytes;
    SAFEARRAY* array = value.get()->parray;
    if (SafeArrayGetDim(array) != 1 || array->rgsabound[0].lLbound != 0) return bytes;
    void* data = nullptr;
    throwIfFailed(SafeArrayAccessData(array, &data), "SafeArrayAccessData");
    const auto* first = static_cast<const unsigned char*>(data);
    bytes.assign(first, first + array->rgsabound[0].cElements);
    SafeArrayUnaccessData(array);
    return bytes;
}

// A text of the DLL's version block, read by the client itself.
std::wstring versionText(const std::wstring& key) {
    const std::wstring path = distFile(L"numori10.dll");
    DWORD ignored = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(path.c_str(), &ignored));
    if (block.empty() || !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
        return L"<no version block>";
    void* value = nullptr;
    UINT length = 0;
    const std::wstring subBlock = L"\\StringFileInfo\\040904b0\\" + key;
    if (!VerQueryValueW(block.data(), subBlock.c_str(), &value, &length)) return L"<absent>";
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

CallResult getProperty(IDispatch* object, const std::wstring& name, std::vector<Variant> arguments = {}) {
    return callByName(object, name, std::move(arguments), DISPATCH_PROPERTYGET);
}

// Set object.name = value, the set-by-reference form.
HRESULT putRef(IDispatch* object, const std::wstring& name, IDispatch* value) {
    Variant argument = Variant::ofObject(value);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{argument.get(), &put, 1, 1};
    return object->Invoke(dispidOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUTREF, &params,
                          nullptr, nullptr, nullptr);
}

IUnknown* heldObject(IDispatch* information) {
    CallResult got = getProperty(information, L"BuddyObjectGlobal");
    EXPECT_EQ(got.status, S_OK);
    EXPECT_EQ(got.value.type(), VT_DISPATCH);
    return got.value.type() == VT_DISPATCH ? identity(got.value.get()->pdispVal) : nullptr;
}

} // namespace

TEST(InformationClass, StandardPropertiesDescribeTheLibraryFile) {
    ComPtr<IDispatch> information = newInformationObject();
    CallResult app = getProperty(information.Get(), L"GetProStdProperties");
    ASSERT_EQ(app.status, S_OK);
    ASSERT_EQ(app.value.type(), VT_DISPATCH);
    IDispatch* properties = app.value.get()->pdispVal;
    ASSERT_NE(properties, nullptr);

    std::wstring folder = distFile(L"numori10.dll");
    folder.resize(folder.find_last_of(L'\\'));
    struct Case {
        std::wstring name;
        VARTYPE type;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"EXEName", VT_BSTR, L"numori10"},
        {L"Path", VT_BSTR, folder},
        {L"Title", VT_BSTR, versionText(L"ProductName")},
        {L"HelpFile", VT_BSTR, L""},
        {L"Major", VT_I2, L"1"},
        {L"Minor", VT_I2, L"0"},
        {L"Revision", VT_I2, L"90"},
        {L"Comments", VT_BSTR, versionText(L"Comments")},
        {L"CompanyName", VT_BSTR, versionText(L"CompanyName")},
        {L"FileDescription", VT_BSTR, versionText(L"FileDescription")},
        {L"LegalCopyright", VT_BSTR, versionText(L"LegalCopyright")},
        {L"LegalTrademarks", VT_BSTR, versionText(L"LegalTrademarks")},
        {L"ProductName", VT_BSTR, versionText(L"ProductName")},
    };
    ComPtr<_LibraryApp> early = as<_LibraryApp>(properties);
    ASSERT_TRUE(early) << "the App object answers to its dual interface";
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.name));
        CallResult value = getProperty(properties, c.name);
        ASSERT_EQ(value.status, S_OK);
        EXPECT_EQ(value.value.type(), c.type);
        EXPECT_EQ(value.value.text(), c.expected);
    }
    EXPECT_FALSE(versionText(L"Comments").empty());

    // The dual interface's own methods give the same values.
    Bstr name, path;
    short major = -1, revision = -1;
    EXPECT_EQ(early->get_EXEName(name.out()), S_OK);
    EXPECT_EQ(early->get_Path(path.out()), S_OK);
    EXPECT_EQ(early->get_Major(&major), S_OK);
    EXPECT_EQ(early->get_Revision(&revision), S_OK);
    EXPECT_EQ(name.text(), L"numori10");
    EXPECT_EQ(path.text(), folder);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(revision, 90);
    EXPECT_EQ(early->get_Major(nullptr), E_POINTER);

    // Script hosts find the properties by name in its type description.
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(properties->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.GetAddressOf()), S_OK);
    for (const Case& c : cases) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.name.c_str())};
        MEMBERID member = DISPID_UNKNOWN;
        EXPECT_EQ(info->GetIDsOfNames(names, 1, &member), S_OK) << narrow(c.name);
        EXPECT_EQ(member, dispidOf(properties, c.name)) << narrow(c.name);
    }
}

TEST(InformationClass, OneAppObjectPerThreadSharedByItsInstances) {
    ComPtr<IDispatch> first = newInformationObject();
    ComPtr<IDispatch> second = newInformationObject();
    ComPtr<_clsVxNumoria10A> early = as<_clsVxNumoria10A>(first.Get());
    ASSERT_TRUE(early);
    ComPtr<IDispatch> byVtable;
    ASSERT_EQ(early->get_GetProStdProperties(byVtable.GetAddressOf()), S_OK);
    CallResult byName = getProperty(second.Get(), L"GetProStdProperties");
    ASSERT_EQ(byName.value.type(), VT_DISPATCH);
    IUnknown* here = identity(byVtable.Get());
    EXPECT_NE(here, nullptr);
    EXPECT_EQ(identity(byName.value.get()->pdispVal), here) << "two instances, two calls, one App object";

    IUnknown* there = nullptr;
    onApartmentThread([&] {
        ComPtr<IDispatch> other = newInformationObject();
        CallResult app = getProperty(other.Get(), L"GetProStdProperties");
        if (app.value.type() == VT_DISPATCH) there = identity(app.value.get()->pdispVal);
    });
    EXPECT_NE(there, nullptr);
    EXPECT_NE(there, here) << "another thread has an App object of its own";
}

// A thread's App object, still held elsewhere when its thread ends: the
// holders' last releases race the end of the thread, on several threads at
// once, many times over; each object is freed exactly once, after both.
TEST(InformationClass, AppObjectsReleasedWhileTheirThreadsEndAreFreedOnce) {
    constexpr int kRounds = 150;
    constexpr int kThreads = 3;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::thread> threads;
        for (int k = 0; k < kThreads; ++k) {
            threads.emplace_back([] {
                IDispatch* app = nullptr;
                HANDLE ending = CreateEventW(nullptr, TRUE, FALSE, nullptr);
                std::thread owner([&] {
                    // A plain thread, where a throw would end the process: recorded, not thrown.
                    const HRESULT initialized = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
                    EXPECT_EQ(initialized, S_OK) << "CoInitializeEx on a new thread";
                    {
                        ComPtr<_clsVxNumoria10A> information = as<_clsVxNumoria10A>(newInformationObject().Get());
                        if (information) {
                            EXPECT_EQ(information->get_GetProStdProperties(&app), S_OK);
                        }
                    }
                    if (SUCCEEDED(initialized)) CoUninitialize();
                    SetEvent(ending); // the thread's detach runs next
                });
                WaitForSingleObject(ending, INFINITE);
                if (app) app->Release();
                owner.join();
                CloseHandle(ending);
                EXPECT_NE(app, nullptr);
            });
        }
        for (std::thread& thread : threads) thread.join();
        if (HasFailure()) break;
    }
    EXPECT_EQ(getProperty(newInformationObject().Get(), L"GetProStdProperties").status, S_OK);
}

TEST(InformationClass, ResourceLoadersRaiseTheirErrors) {
    ComPtr<IDispatch> information = newInformationObject();
    struct Case {
        const char* label;
        std::wstring member;
        long id;
        Variant kind;
        long number;
        std::wstring description; // empty: not checked
    };
    const Case cases[] = {
        {"string 1", L"GetProResStrings", 1, {}, 326, L"Resource with identifier '1' not found"},
        {"string 0", L"GetProResStrings", 0, {}, 326, L"Resource with identifier '0' not found"},
        {"string -5", L"GetProResStrings", -5, {}, 326, L"Resource with identifier '-5' not found"},
        {"string 70000", L"GetProResStrings", 70000, {}, 326, L""},
        {"bitmap 1", L"GetProResPicture", 1, Variant::ofI4(0), 326, L""},
        {"icon 1", L"GetProResPicture", 1, Variant::ofI4(1), 326, L""},
        {"cursor 101", L"GetProResPicture", 101, Variant::ofI4(2), 326, L"Resource with identifier '101' not found"},
        {"picture kind 40000", L"GetProResPicture", 1, Variant::ofI4(40000), 6, L"Overflow"},
        {"picture kind -32769", L"GetProResPicture", 1, Variant::ofI4(-32769), 6, L"Overflow"},
        {"picture kind 3", L"GetProResPicture", 1, Variant::ofI4(3), 5, L"Invalid procedure call or argument"},
        {"data of a missing type", L"GetProResData", 1, Variant::ofText(L"NOSUCHTYPE"), 326, L""},
        {"data of a missing identifier", L"GetProResData", 7, Variant::ofText(L"TYPELIB"), 326,
         L"Resource with identifier '7' not found"},
        {"data of an empty type name", L"GetProResData", 1, Variant::ofText(L""), 326, L""},
        {"data of string type 6", L"GetProResData", 1, Variant::ofI4(6), 326, L""},
        {"data of type 0", L"GetProResData", 1, Variant::ofI4(0), 326, L""},
        {"data of type 70000", L"GetProResData", 1, Variant::ofI4(70000), 326, L""},
        {"data of identifier 70000", L"GetProResData", 70000, Variant::ofI4(16), 326, L""},
        {"data of type Null", L"GetProResData", 1,
         [] {
             Variant null;
             null.out()->vt = VT_NULL;
             return null;
         }(),
         94, L"Invalid use of Null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        long id = c.id;
        std::vector<Variant> arguments{Variant::ofRef(VT_I4, &id)};
        if (c.kind.type() != VT_EMPTY) arguments.push_back(c.kind);
        CallResult call = getProperty(information.Get(), c.member, arguments);
        ASSERT_EQ(call.status, DISP_E_EXCEPTION);
        EXPECT_EQ(call.errorNumber(), c.number);
        EXPECT_EQ(call.source, L"Numoria10");
        if (!c.description.empty()) EXPECT_EQ(call.description, c.description);
        EXPECT_EQ(id, c.id) << "the by-reference identifier is not written";
    }

    // The early-bound forms fail with the same status and error information.
    ComPtr<_clsVxNumoria10A> early = as<_clsVxNumoria10A>(information.Get());
    ASSERT_TRUE(early);
    LONG id = 1;
    LoadResConstants kind = static_cast<LoadResConstants>(40000);
    ComPtr<IPictureDisp> picture;
    EXPECT_EQ(early->get_GetProResPicture(&id, &kind, picture.GetAddressOf()), automationError(6));
    Bstr text;
    EXPECT_EQ(early->get_GetProResStrings(&id, text.out()), automationError(326));
    ComPtr<IErrorInfo> error;
    ASSERT_EQ(GetErrorInfo(0, error.GetAddressOf()), S_OK);
    Bstr description;
    ASSERT_EQ(error->GetDescription(description.out()), S_OK);
    EXPECT_EQ(description.text(), L"Resource with identifier '1' not found");
}

TEST(InformationClass, ResourceDataReturnsTheFilesOwnResources) {
    ComPtr<IDispatch> information = newInformationObject();
    auto data = [&](long id, Variant type) {
        CallResult call = getProperty(information.Get(), L"GetProResData", {Variant::ofRef(VT_I4, &id), type});
        EXPECT_EQ(call.status, S_OK) << call.errorNumber() << " " << narrow(call.description);
        return byteArray(call.value);
    };

    const std::vector<unsigned char> library = fileBytes(distFile(L"numori10.tlb"));
    ASSERT_GT(library.size(), 4u);
    EXPECT_EQ(data(1, Variant::ofText(L"TYPELIB")), library);
    EXPECT_EQ(data(1, Variant::ofText(L"typelib")), library) << "custom type names ignore case";
    EXPECT_EQ(data(2, Variant::ofText(L"TYPELIB")), fileBytes(distFile(L"numoria_runtime.tlb")));

    // A by-reference VARIANT is read through to the text it refers to.
    Variant referenced = Variant::ofText(L"TYPELIB");
    EXPECT_EQ(data(1, Variant::ofRef(VT_VARIANT, referenced.get())), library);

    // _IID_ resources: a byte count of 16, then the default interface's IID.
    const std::vector<unsigned char> iidResource = data(1, Variant::ofText(L"_IID_CLSVXNUMSMATRIXA"));
    ASSERT_EQ(iidResource.size(), 20u);
    EXPECT_EQ(iidResource[0], 16);
    EXPECT_EQ(std::memcmp(iidResource.data() + 4, &__uuidof(_clsVxNumsMatrixA), 16), 0);

    // A number selects a standard type: 16 is the version block, whose first
    // word is its own length.
    const std::vector<unsigned char> version = data(1, Variant::ofI2(16));
    ASSERT_GE(version.size(), 6u);
    EXPECT_EQ(version[0] | (version[1] << 8), static_cast<int>(version.size()));
    EXPECT_EQ(data(1, Variant::ofR8(16.0)), version);

    // Early-bound, with the type passed by reference.
    ComPtr<_clsVxNumoria10A> early = as<_clsVxNumoria10A>(information.Get());
    ASSERT_TRUE(early);
    LONG id = 1;
    Variant type = Variant::ofText(L"TYPELIB");
    Variant result;
    ASSERT_EQ(early->get_GetProResData(&id, type.get(), result.out()), S_OK);
    EXPECT_EQ(byteArray(result), library);
    EXPECT_EQ(type.text(), L"TYPELIB");
}

TEST(InformationClass, HeldObjectIsSharedOnAThreadAndCountedExactly) {
    CountedObject first, second;
    ComPtr<IDispatch> reader = newInformationObject();
    {
        ComPtr<IDispatch> writer = newInformationObject();
        ASSERT_EQ(putRef(writer.Get(), L"BuddyObjectGlobal", first.get()), S_OK);
        EXPECT_EQ(first.heldByOthers(), 1) << "the storage takes one reference";
    }
    EXPECT_EQ(first.heldByOthers(), 1) << "it outlives the instance that stored it";
    EXPECT_EQ(heldObject(reader.Get()), identity(first.get()));
    EXPECT_EQ(first.heldByOthers(), 1) << "reading hands out a reference the caller releases";

    // Replacing releases the old reference once; the early-bound form agrees.
    ComPtr<_clsVxNumoria10A> early = as<_clsVxNumoria10A>(reader.Get());
    ASSERT_TRUE(early);
    ASSERT_EQ(early->putref_BuddyObjectGlobal(second.get()), S_OK);
    EXPECT_EQ(first.heldByOthers(), 0);
    EXPECT_EQ(second.heldByOthers(), 1);
    ASSERT_EQ(early->putref_BuddyObjectGlobal(second.get()), S_OK);
    EXPECT_EQ(second.heldByOthers(), 1) << "storing the same object again keeps one reference";
    ComPtr<IDispatch> got;
    ASSERT_EQ(early->get_BuddyObjectGlobal(got.GetAddressOf()), S_OK);
    EXPECT_EQ(identity(got.Get()), identity(second.get()));
    got.Reset();

    // Setting no object empties the storage.
    ASSERT_EQ(putRef(reader.Get(), L"BuddyObjectGlobal", nullptr), S_OK);
    EXPECT_EQ(second.heldByOthers(), 0);
    EXPECT_EQ(heldObject(reader.Get()), nullptr);
    ASSERT_EQ(early->get_BuddyObjectGlobal(got.GetAddressOf()), S_OK);
    EXPECT_FALSE(got);

    // There is no plain (value) assignment form.
    {
        Variant value = Variant::ofObject(first.get());
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS params{value.get(), &put, 1, 1};
        EXPECT_EQ(reader->Invoke(dispidOf(reader.Get(), L"BuddyObjectGlobal"), IID_NULL, LOCALE_USER_DEFAULT,
                                 DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
                  DISP_E_MEMBERNOTFOUND);
    }
    EXPECT_EQ(first.heldByOthers(), 0);
    EXPECT_EQ(heldObject(reader.Get()), nullptr);
}

TEST(InformationClass, EachThreadHasItsOwnHeldObject) {
    CountedObject here, there;
    ComPtr<IDispatch> information = newInformationObject();
    ASSERT_EQ(putRef(information.Get(), L"BuddyObjectGlobal", here.get()), S_OK);

    IUnknown* seenFirst = reinterpret_cast<IUnknown*>(1);
    IUnknown* seenAfterSet = nullptr;
    long thereHeldWhileThreadLives = -1;
    onApartmentThread([&] {
        ComPtr<IDispatch> other = newInformationObject();
        seenFirst = heldObject(other.Get());
        EXPECT_EQ(putRef(other.Get(), L"BuddyObjectGlobal", there.get()), S_OK);
        seenAfterSet = heldObject(other.Get());
        thereHeldWhileThreadLives = there.heldByOthers();
    });
    EXPECT_EQ(seenFirst, nullptr) << "a fresh thread holds no object";
    EXPECT_EQ(seenAfterSet, identity(there.get()));
    EXPECT_EQ(thereHeldWhileThreadLives, 1);
    EXPECT_EQ(there.heldByOthers(), 0) << "the thread's reference is released when its apartment ends";
    EXPECT_EQ(heldObject(information.Get()), identity(here.get())) << "this thread's storage is untouched";

    ASSERT_EQ(putRef(information.Get(), L"BuddyObjectGlobal", nullptr), S_OK);
    EXPECT_EQ(here.heldByOthers(), 0);
}

TEST(InformationClass, HeldObjectKeepsTheLibraryInUse) {
    // The module COM loaded, found by name: its count of live objects.
    HMODULE module = GetModuleHandleW(L"numori10.dll");
    ASSERT_NE(module, nullptr);
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(GetProcAddress(module, "DllCanUnloadNow"));
    ASSERT_NE(canUnload, nullptr);

    CountedObject held;
    {
        ComPtr<IDispatch> information = newInformationObject();
        // Reading the standard properties leaves only the thread's cache.
        EXPECT_EQ(getProperty(information.Get(), L"GetProStdProperties").status, S_OK);
        ASSERT_EQ(putRef(information.Get(), L"BuddyObjectGlobal", held.get()), S_OK);
    }
    EXPECT_EQ(canUnload(), S_FALSE) << "a held reference keeps the library loaded";
    {
        ComPtr<IDispatch> information = newInformationObject();
        ASSERT_EQ(putRef(information.Get(), L"BuddyObjectGlobal", nullptr), S_OK);
    }
    EXPECT_EQ(canUnload(), S_OK) << "nothing left: neither objects nor a held reference";
    EXPECT_EQ(held.heldByOthers(), 0);
}

TEST(InformationClass, AboutRaisesTheReportingErrorWhenTheFrameworkIsAbsent) {
    ComPtr<IDispatch> information = newInformationObject();
    ComPtr<_clsVxNumoria10A> early = as<_clsVxNumoria10A>(information.Get());
    ASSERT_TRUE(early);
    LONG result = -1;
    ASSERT_EQ(early->About(&result), S_OK);
    EXPECT_EQ(result, 0);

    LoadedServer standin(distFile(L"vxfundara10.dll"));
    ASSERT_TRUE(standin.unregisterServer);
    ASSERT_EQ(standin.unregisterServer(), S_OK);
    CallResult about = callByName(information.Get(), L"About");
    HRESULT earlyStatus = early->About(&result);
    EXPECT_EQ(standin.registerServer(), S_OK) << "the stand-in is registered again for the tests that follow";

    EXPECT_EQ(about.status, DISP_E_EXCEPTION);
    EXPECT_EQ(about.errorNumber(), 429) << "the error handler itself cannot be created";
    EXPECT_EQ(earlyStatus, automationError(429));
}
