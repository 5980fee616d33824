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
std::vector<std::wstring> library_keys(const std::wstring& dll) {
    std::set<std::wstring> keys;
    for (const std::wstring& library_path : {dll, dll + L"\\2"})
        for (std::wstring& key : type_library_keys(library_path)) keys.insert(std::move(key));
    const CLSID classes[] = {__uuidof(clsVxNumoria10A),  __uuidof(clsVxNumsGeneralA),     __uuidof(clsVxNumsAdvancedA),
                             __uuidof(clsVxNumsMatrixA), __uuidof(clsVxNumsConversionsA), __uuidof(clsVxNumsPerComA)};
    for (const CLSID& clsid : classes) keys.insert(L"CLSID\\" + guid_text(clsid));
    for (const std::wstring& name : kLibraryClasses) keys.insert(library_prog_id(name));
    return {keys.begin(), keys.end()};
}

const std::wstring kMatrixClassKey = L"CLSID\\" + guid_text(__uuidof(clsVxNumsMatrixA));
const std::wstring kLibraryVersionKey = L"TypeLib\\" + guid_text(LIBID_Numoria10) + L"\\1.0";

// The registry state a test compares: the library's keys in depth, and
// the names of every class, interface and type library.
struct RegistryState {
    RegistryTree keys;
    RegistrySnapshot names;
};

RegistryState read_state(const std::vector<std::wstring>& roots) {
    return {read_class_trees(roots), snapshot_class_registrations()};
}

void expect_same_state(const RegistryState& expected, const RegistryState& actual, const char* what) {
    EXPECT_EQ(tree_differences(expected.keys, actual.keys), "") << what;
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
    DeniedKey(std::wstring path, DWORD denied) : path_(std::move(path)) {
        RegistryKey key;
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path_.c_str(), 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr,
                            key.out(), &disposition) != ERROR_SUCCESS)
            return;
        created_ = disposition == REG_CREATED_NEW_KEY;
        DWORD size = 0;
        RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, nullptr, &size);
        original_.resize(size);
        if (RegGetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, original_.data(), &size) != ERROR_SUCCESS)
            original_.clear();
        const std::wstring sddl = L"D:(D;;" + std::to_wstring(denied) + L";;;WD)(A;;KA;;;WD)";
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
            applied_ = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
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
        RegCreateKeyExW(HKEY_CLASSES_ROOT, path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_READ, nullptr, key.out(),
                        nullptr);
    }
    ~VolatileKey() override { RegDeleteTreeW(HKEY_CLASSES_ROOT, path_.c_str()); }

private:
    std::wstring path_;
};

class RegistrationFaults : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.loaded() && server_.register_server && server_.unregister_server);
        registered_ = read_state(roots_);
        ASSERT_FALSE(registered_.keys.empty());
        ASSERT_TRUE(registered_.keys.contains(kMatrixClassKey)) << "the prefix's registration is missing";
    }
    // Every test hands the prefix back as the fixture registered it.
    void TearDown() override {
        EXPECT_EQ(server_.register_server(), S_OK);
        expect_same_state(registered_, read_state(roots_), "after restoring the registration");
    }

    RegistryState unregistered_state() {
        EXPECT_EQ(server_.unregister_server(), S_OK);
        return read_state(roots_);
    }

    LoadedServer server_{dist_file(L"numori10.dll")};
    const std::vector<std::wstring> roots_ = library_keys(dist_file(L"numori10.dll"));
    RegistryState registered_;
};

TEST_F(RegistrationFaults, RepeatedCallsSucceedAndSettleOnOneState) {
    const RegistryState unregistered = unregistered_state();
    for (const std::wstring& key : roots_)
        EXPECT_FALSE(unregistered.keys.contains(key)) << "left behind: " << narrow(key);

    struct Case {
        const char* label;
        bool start_registered;
        std::vector<LoadedServer::NoArgumentFn LoadedServer::*> calls;
        bool end_registered;
    };
    const Case cases[] = {
        {"register twice", false, {&LoadedServer::register_server, &LoadedServer::register_server}, true},
        {"register when registered", true, {&LoadedServer::register_server}, true},
        {"unregister twice", true, {&LoadedServer::unregister_server, &LoadedServer::unregister_server}, false},
        {"unregister when nothing is registered", false, {&LoadedServer::unregister_server}, false},
        {"unregister, register, unregister",
         true,
         {&LoadedServer::unregister_server, &LoadedServer::register_server, &LoadedServer::unregister_server},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ((c.start_registered ? server_.register_server : server_.unregister_server)(), S_OK);
        for (auto call : c.calls) EXPECT_EQ((server_.*call)(), S_OK);
        expect_same_state(c.end_registered ? registered_ : unregistered, read_state(roots_), c.label);
    }
}

TEST_F(RegistrationFaults, RefusedWritesLeaveTheRegistryAsFound) {
    const RegistryState unregistered = unregistered_state();
    ASSERT_EQ(server_.register_server(), S_OK);

    using Setup = std::function<std::unique_ptr<Obstruction>()>;
    struct Case {
        const char* label;
        bool start_registered;
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
         &LoadedServer::register_server, E_ACCESSDENIED},
        {"lone class key refuses writes", false, denied(kMatrixClassKey, KEY_SET_VALUE), &LoadedServer::register_server,
         E_ACCESSDENIED},
        {"type library key refuses writes", true, denied(kLibraryVersionKey, KEY_SET_VALUE),
         &LoadedServer::register_server, std::nullopt},
        {"volatile class key takes no lasting subkeys", false,
         [] { return std::make_unique<VolatileKey>(kMatrixClassKey); }, &LoadedServer::register_server,
         HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE)},
        {"unreadable server key on unregistration", true,
         denied(kMatrixClassKey + L"\\InprocServer32", KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS),
         &LoadedServer::unregister_server, E_ACCESSDENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_EQ((c.start_registered ? server_.register_server : server_.unregister_server)(), S_OK);
        {
            const std::unique_ptr<Obstruction> obstruction = c.obstruct();
            const RegistryState found = read_state(roots_);
            const HRESULT status = (server_.*c.call)();
            if (c.status) {
                EXPECT_EQ(status, *c.status);
            } else {
                EXPECT_TRUE(FAILED(status)) << std::hex << status;
            }
            expect_same_state(found, read_state(roots_), "after the refused write");
        }
        // Once the obstruction is gone the same call completes.
        EXPECT_EQ((server_.*c.call)(), S_OK);
        expect_same_state(c.call == &LoadedServer::register_server ? registered_ : unregistered, read_state(roots_),
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
    ASSERT_TRUE(CopyFileW(dist_file(L"numori10.dll").c_str(), copy.c_str(), FALSE));
    {
        LoadedServer copied(copy);
        ASSERT_TRUE(copied.loaded() && copied.register_server && copied.can_unload_now);
        ASSERT_EQ(copied.register_server(), S_OK);

        auto same_path = [](const std::wstring& registered, const std::wstring& expected) {
            return _wcsicmp(registered.c_str(), expected.c_str()) == 0;
        };
        // The type library's file is registered under its platform's key.
        const wchar_t* platform_key = sizeof(void*) == 8 ? L"\\0\\win64" : L"\\0\\win32";
        EXPECT_TRUE(same_path(class_registry_text(kLibraryVersionKey + platform_key, nullptr), copy));
        EXPECT_TRUE(same_path(class_registry_text(kLibraryVersionKey + L"\\HELPDIR", nullptr), folder));
        for (const std::wstring& name : kLibraryClasses) {
            SCOPED_TRACE(narrow(name));
            CLSID clsid{};
            ASSERT_EQ(CLSIDFromProgID(library_prog_id(name).c_str(), &clsid), S_OK);
            const std::wstring server =
                class_registry_text(L"CLSID\\" + guid_text(clsid) + L"\\InprocServer32", nullptr);
            EXPECT_TRUE(same_path(server, copy)) << narrow(server);

            Creation created = create_by_prog_id(library_prog_id(name));
            ASSERT_EQ(created.status, S_OK);
            EXPECT_EQ(copied.can_unload_now(), S_FALSE) << "the object lives in the copy";
            created.object.Reset();
            EXPECT_EQ(copied.can_unload_now(), S_OK);
        }
        // The copy's type library describes the objects it serves.
        Creation perCom = create_by_prog_id(L"Numoria10.clsVxNumsPerComA");
        ASSERT_EQ(perCom.status, S_OK);
        CallResult factorial = call_by_name(perCom.object.Get(), L"Factorial", {Variant::of_i2(5)});
        EXPECT_EQ(factorial.status, S_OK);
        EXPECT_EQ(factorial.value.number(), 120.0);
        perCom.object.Reset();

        ASSERT_EQ(server_.register_server(), S_OK);
        expect_same_state(registered_, read_state(roots_), "the original registered again");
        CoFreeUnusedLibraries();
    }
    EXPECT_TRUE(DeleteFileW(copy.c_str())) << "the copy is still loaded";
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
}

// A registration left behind by a file that has since been deleted is
// still removed completely by another copy of the library.
TEST_F(RegistrationFaults, RegistrationOfADeletedFileIsRemoved) {
    const RegistryState unregistered = unregistered_state();
    wchar_t temp[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
    const std::wstring copy = std::wstring(temp) + L"numori10 deleted copy.dll";
    ASSERT_TRUE(CopyFileW(dist_file(L"numori10.dll").c_str(), copy.c_str(), FALSE));
    {
        LoadedServer copied(copy);
        ASSERT_TRUE(copied.loaded() && copied.register_server);
        ASSERT_EQ(copied.register_server(), S_OK);
    }
    ASSERT_TRUE(DeleteFileW(copy.c_str()));
    EXPECT_EQ(server_.unregister_server(), S_OK);
    expect_same_state(unregistered, read_state(roots_), "after removing the stale registration");
}

} // namespace
