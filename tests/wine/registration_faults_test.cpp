// Registration under adverse conditions: repeated and redundant calls, a
// copy of the DLL in a folder whose path has spaces and non-ASCII
// characters, and writes the registry refuses. Whatever happens, the keys
// the library registers must end up exactly as they were found or exactly
// as a clean registration leaves them, never in between.
#include "support/late_bound.h"
#include "support/library_classes.h"
#include "support/loaded_server.h"
#include "support/registry_snapshot.h"
#include "support/registry_tree.h"
#include "support/status_check.h"
#include "support/test_environment.h"
#include "frame/com/registry_key.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>

#include "numori10.h"

using namespace wine_tests;
using numoria::frame::RegistryKey;

namespace {

// Every key below HKEY_CLASSES_ROOT that the library's registration
// writes, read from its two embedded type libraries and its class list.
std::vector<std::wstring> libraryKeys(const std::wstring& dll) {
    std::set<std::wstring> keys;
    for (const std::wstring& libraryPath : {dll, dll + L"\\2"})
        for (std::wstring& key : typeLibraryKeys(libraryPath)) keys.insert(std::move(key));
    const CLSID classes[] = {__uuidof(clsVxNumoria10A),  __uuidof(clsVxNumsGeneralA),     __uuidof(clsVxNumsAdvancedA),
                             __uuidof(clsVxNumsMatrixA), __uuidof(clsVxNumsConversionsA), __uuidof(clsVxNumsPerComA)};
    for (const CLSID& clsid : classes) keys.insert(L"CLSID\\" + guidText(clsid));
    for (const std::wstring& name : kLibraryClasses) keys.insert(libraryProgId(name));
    return {keys.begin(), keys.end()};
}

const std::wstring kMatrixClassKey = L"CLSID\\" + guidText(__uuidof(clsVxNumsMatrixA));
const std::wstring kLibraryVersionKey = L"TypeLib\\" + guidText(LIBID_Numoria10) + L"\\1.0";

// The registry state a test compares: the library's keys in depth, and
// the names of every class, interface and type library.
struct RegistryState {
    RegistryTree keys;
    RegistrySnapshot names;
};

RegistryState readState(const std::vector<std::wstring>& roots) {
    return {readClassTrees(roots), snapshotClassRegistrations()};
}

void expectSameState(const RegistryState& expected, const RegistryState& actual, const char* what) {
    EXPECT_EQ(treeDifferences(expected.keys, actual.keys), "") << what;
    EXPECT_TRUE(expected.names == actual.names) << what << ": keys appeared or vanished elsewhere";
}

// Something that makes a registry write fail, removed when it goes out of
// scope.
class Obstruction {
public:
    virtual ~Obstruction() = default;
};

// A key whose access list denies some rights to everyone; a key that did
// not exist is created for it and removed again afterwards.
class DeniedKey final : public Obstruction {
public:
    // Failures are recorded, not thrown: a constructor that throws would skip
    // the destructor that puts the key back.
    DeniedKey(std::wstring path, DWORD denied) : path_(std::move(path)) {
        RegistryKey key;
        DWORD disposition = 0;
        const LSTATUS opened = RegCreateKeyExW(HKEY_CLASSES_ROOT, path_.c_str(), 0, nullptr, 0,
                                               READ_CONTROL | WRITE_DAC, nullptr, key.out(), &disposition);
        EXPECT_EQ(opened, ERROR_SUCCESS) << "RegCreateKeyExW on " << narrow(path_);
        if (opened != ERROR_SUCCESS) return;
        created_ = disposition == REG_CREATED_NEW_KEY;
        DWORD size = 0;
        // The size query: fails by design (ERROR_INSUFFICIENT_BUFFER) and writes the size.
        RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        original_.resize(size);
        const LSTATUS read = RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, original_.data(), &size);
        EXPECT_EQ(read, ERROR_SUCCESS) << "RegGetKeySecurity on " << narrow(path_);
        if (read != ERROR_SUCCESS) {
            // Without the original access list the key could not be put back.
            original_.clear();
            return;
        }
        const std::wstring sddl = L"D:(D;;" + std::to_wstring(denied) + L";;;WD)(A;;KA;;;WD)";
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        const BOOL converted =
            ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr);
        const DWORD conversionError = GetLastError();
        EXPECT_TRUE(converted) << "ConvertStringSecurityDescriptorToSecurityDescriptorW: error " << conversionError;
        if (converted) {
            const LSTATUS set = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
            EXPECT_EQ(set, ERROR_SUCCESS) << "RegSetKeySecurity on " << narrow(path_);
            applied_ = set == ERROR_SUCCESS;
            LocalFree(descriptor);
        }
    }
    ~DeniedKey() override {
        RegistryKey key;
        if (key.open(path_, WRITE_DAC) == ERROR_SUCCESS && !original_.empty())
            RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, original_.data());
        if (created_) RegDeleteTreeW(HKEY_CLASSES_ROOT, path_.c_str());
    }
    bool applied() const { return applied_; }

private:
    std::wstring path_;
    bool created_ = false;
    bool applied_ = false;
    std::vector<BYTE> original_;
};

// A volatile key where the registration writes lasting keys below it.
class VolatileKey final : public Obstruction {
public:
    explicit VolatileKey(std::wstring path) : path_(std::move(path)) {
        RegistryKey key;
        throwIfRegistryFailed(RegCreateKeyExW(HKEY_CLASSES_ROOT, path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                              KEY_READ, nullptr, key.out(), nullptr),
                              "RegCreateKeyExW", path_);
    }
    ~VolatileKey() override { RegDeleteTreeW(HKEY_CLASSES_ROOT, path_.c_str()); }

private:
    std::wstring path_;
};

class RegistrationFaults : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.loaded() && server_.registerServer && server_.unregisterServer);
        registered_ = readState(roots_);
        ASSERT_FALSE(registered_.keys.empty());
        ASSERT_TRUE(registered_.keys.contains(kMatrixClassKey)) << "the prefix's registration is missing";
    }
    // Every test hands the prefix back as the fixture registered it.
    void TearDown() override {
        EXPECT_EQ(server_.registerServer(), S_OK);
        expectSameState(registered_, readState(roots_), "after restoring the registration");
    }

    RegistryState unregisteredState() {
        EXPECT_EQ(server_.unregisterServer(), S_OK);
        return readState(roots_);
    }

    LoadedServer server_{distFile(L"numori10.dll")};
    const std::vector<std::wstring> roots_ = libraryKeys(distFile(L"numori10.dll"));
    RegistryState registered_;
};

TEST_F(RegistrationFaults, RepeatedCallsSucceedAndSettleOnOneState) {
    const RegistryState unregistered = unregisteredState();
    for (const std::wstring& key : roots_)
        EXPECT_FALSE(unregistered.keys.contains(key)) << "left behind: " << narrow(key);

    struct Case {
        const char* label;
        bool startRegistered;
        std::vector<LoadedServer::NoArgumentFn LoadedServer::*> calls;
        bool endRegistered;
    };
    const Case cases[] = {
        {"register twice", false, {&LoadedServer::registerServer, &LoadedServer::registerServer}, true},
        {"register when registered", true, {&LoadedServer::registerServer}, true},
        {"unregister twice", true, {&LoadedServer::unregisterServer, &LoadedServer::unregisterServer}, false},
        {"unregister when nothing is registered", false, {&LoadedServer::unregisterServer}, false},
        {"unregister, register, unregister",
         true,
         {&LoadedServer::unregisterServer, &LoadedServer::registerServer, &LoadedServer::unregisterServer},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ((c.startRegistered ? server_.registerServer : server_.unregisterServer)(), S_OK);
        for (auto call : c.calls) EXPECT_EQ((server_.*call)(), S_OK);
        expectSameState(c.endRegistered ? registered_ : unregistered, readState(roots_), c.label);
    }
}

TEST_F(RegistrationFaults, RefusedWritesLeaveTheRegistryAsFound) {
    const RegistryState unregistered = unregisteredState();
    ASSERT_EQ(server_.registerServer(), S_OK);

    using Setup = std::function<std::unique_ptr<Obstruction>()>;
    struct Case {
        const char* label;
        bool startRegistered;
        Setup obstruct;
        LoadedServer::NoArgumentFn LoadedServer::*call;
        // None: the failure is the platform's RegisterTypeLib's to name
        // (Wine 8 reports E_FAIL, not TYPE_E_REGISTRYACCESS).
        std::optional<HRESULT> status;
    };
    auto denied = [](std::wstring path, DWORD rights) -> Setup {
        return [=] { return std::make_unique<DeniedKey>(path, rights); };
    };
    const Case cases[] = {
        {"class key of a registered server refuses writes", true, denied(kMatrixClassKey, KEY_SET_VALUE),
         &LoadedServer::registerServer, E_ACCESSDENIED},
        {"lone class key refuses writes", false, denied(kMatrixClassKey, KEY_SET_VALUE), &LoadedServer::registerServer,
         E_ACCESSDENIED},
        {"type library key refuses writes", true, denied(kLibraryVersionKey, KEY_SET_VALUE),
         &LoadedServer::registerServer, std::nullopt},
        {"volatile class key takes no lasting subkeys", false,
         [] { return std::make_unique<VolatileKey>(kMatrixClassKey); }, &LoadedServer::registerServer,
         HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE)},
        {"unreadable server key on unregistration", true,
         denied(kMatrixClassKey + L"\\InprocServer32", KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS),
         &LoadedServer::unregisterServer, E_ACCESSDENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ((c.startRegistered ? server_.registerServer : server_.unregisterServer)(), S_OK);
        {
            const std::unique_ptr<Obstruction> obstruction = c.obstruct();
            const RegistryState found = readState(roots_);
            const HRESULT status = (server_.*c.call)();
            if (c.status) {
                EXPECT_EQ(status, *c.status);
            } else {
                EXPECT_TRUE(FAILED(status)) << std::hex << status;
            }
            expectSameState(found, readState(roots_), "after the refused write");
        }
        // Once the obstruction is gone the same call completes.
        EXPECT_EQ((server_.*c.call)(), S_OK);
        expectSameState(c.call == &LoadedServer::registerServer ? registered_ : unregistered, readState(roots_),
                        "after the call is repeated");
    }
}

// The file that registered last serves the classes: a copy in a folder
// whose path has spaces and characters outside ASCII takes over, creates
// objects by programmatic identifier, and hands back to the original.
TEST_F(RegistrationFaults, CopyInAnUnusualFolderServesTheClasses) {
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring folder = std::wstring(temp) + L"Numoria Kopie \u00fc\u00df \u0436 \u6570\u5b66";
    const std::wstring copy = folder + L"\\numori10.dll";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CopyFileW(distFile(L"numori10.dll").c_str(), copy.c_str(), FALSE));
    {
        LoadedServer copied(copy);
        ASSERT_TRUE(copied.loaded() && copied.registerServer && copied.canUnloadNow);
        ASSERT_EQ(copied.registerServer(), S_OK);

        auto samePath = [](const std::wstring& registered, const std::wstring& expected) {
            return _wcsicmp(registered.c_str(), expected.c_str()) == 0;
        };
        // The type library's file is registered under its platform's key.
        const wchar_t* platformKey = sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32";
        EXPECT_TRUE(samePath(classRegistryText(kLibraryVersionKey + platformKey, nullptr), copy));
        EXPECT_TRUE(samePath(classRegistryText(kLibraryVersionKey + L"\\HELPDIR", nullptr), folder));
        for (const std::wstring& name : kLibraryClasses) {
            SCOPED_TRACE(narrow(name));
            CLSID clsid{};
            ASSERT_EQ(CLSIDFromProgID(libraryProgId(name).c_str(), &clsid), S_OK);
            const std::wstring server = classRegistryText(L"CLSID\\" + guidText(clsid) + L"\\InprocServer32", nullptr);
            EXPECT_TRUE(samePath(server, copy)) << narrow(server);

            Creation created = createByProgId(libraryProgId(name));
            ASSERT_EQ(created.status, S_OK);
            EXPECT_EQ(copied.canUnloadNow(), S_FALSE) << "the object lives in the copy";
            created.object.Reset();
            EXPECT_EQ(copied.canUnloadNow(), S_OK);
        }
        // The copy's type library describes the objects it serves.
        Creation perCom = createByProgId(L"Numoria10.clsVxNumsPerComA");
        ASSERT_EQ(perCom.status, S_OK);
        CallResult factorial = callByName(perCom.object.Get(), L"Factorial", {Variant::ofI2(5)});
        EXPECT_EQ(factorial.status, S_OK);
        EXPECT_EQ(factorial.value.number(), 120.0);
        perCom.object.Reset();

        ASSERT_EQ(server_.registerServer(), S_OK);
        expectSameState(registered_, readState(roots_), "the original registered again");
        CoFreeUnusedLibraries();
    }
    EXPECT_TRUE(DeleteFileW(copy.c_str())) << "the copy is still loaded";
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

// A registration left behind by a file that has since been deleted is
// still removed completely by another copy of the library.
TEST_F(RegistrationFaults, RegistrationOfADeletedFileIsRemoved) {
    const RegistryState unregistered = unregisteredState();
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring copy = std::wstring(temp) + L"numori10 deleted copy.dll";
    ASSERT_TRUE(CopyFileW(distFile(L"numori10.dll").c_str(), copy.c_str(), FALSE));
    {
        LoadedServer copied(copy);
        ASSERT_TRUE(copied.loaded() && copied.registerServer);
        ASSERT_EQ(copied.registerServer(), S_OK);
    }
    ASSERT_TRUE(DeleteFileW(copy.c_str()));
    EXPECT_EQ(server_.unregisterServer(), S_OK);
    expectSameState(unregistered, readState(roots_), "after removing the stale registration");
}

} // namespace
