// Registration through each server's own exports: what DllRegisterServer
// adds, and that DllUnregisterServer takes all of it away again.
#include "support/late_bound.h"
#include "support/library_classes.h"
#include "support/loaded_server.h"
#include "support/registry_snapshot.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

using namespace wine_tests;

namespace {

// Registers the server again when a test ends, however it ends, so later
// tests find the prefix as the fixture left it.
class ReregisterOnExit {
public:
    explicit ReregisterOnExit(LoadedServer& server) : server_(server) {}
    ~ReregisterOnExit() {
        if (server_.register_server) server_.register_server();
    }

private:
    LoadedServer& server_;
};

struct ServerCase {
    std::wstring dll;
    std::vector<std::wstring> prog_ids;
    bool has_type_library;
};

// The keys a server's registration must add, read while it is registered.
std::vector<std::wstring> expected_keys(const ServerCase& server) {
    std::vector<std::wstring> keys;
    for (const std::wstring& prog_id : server.prog_ids) {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(prog_id.c_str(), &clsid), S_OK) << narrow(prog_id);
        keys.push_back(prog_id);
        keys.push_back(L"CLSID\\" + guid_text(clsid));
    }
    if (server.has_type_library)
        for (std::wstring& key : type_library_keys(dist_file(server.dll))) keys.push_back(std::move(key));
    std::sort(keys.begin(), keys.end());
    return keys;
}

std::vector<std::wstring> added(const RegistrySnapshot& before, const RegistrySnapshot& after) {
    std::vector<std::wstring> keys;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(keys));
    return keys;
}

std::string joined(const std::vector<std::wstring>& keys) {
    std::string out;
    for (const std::wstring& key : keys) out += narrow(key) + "\n";
    return out;
}

} // namespace

TEST(Registration, UnregisterRemovesExactlyWhatRegisterAdds) {
    std::vector<ServerCase> servers = {{L"numori10.dll", {}, true}, {L"vxfundara10.dll", {}, false}};
    for (const std::wstring& name : kLibraryClasses) servers[0].prog_ids.push_back(library_prog_id(name));
    for (const std::wstring& name : kStandinClasses) servers[1].prog_ids.push_back(standin_prog_id(name));

    for (const ServerCase& server : servers) {
        SCOPED_TRACE(narrow(server.dll));
        LoadedServer loaded(dist_file(server.dll));
        ASSERT_TRUE(loaded.loaded() && loaded.register_server && loaded.unregister_server);
        ReregisterOnExit restore(loaded);
        const std::vector<std::wstring> must_add = expected_keys(server);
        ASSERT_FALSE(must_add.empty());

        ASSERT_EQ(loaded.unregister_server(), S_OK);
        const RegistrySnapshot unregistered = snapshot_class_registrations();
        for (const std::wstring& key : must_add)
            EXPECT_EQ(unregistered.count(key), 0u) << "left behind: " << narrow(key);
        for (const std::wstring& prog_id : server.prog_ids) {
            CLSID clsid{};
            EXPECT_NE(CLSIDFromProgID(prog_id.c_str(), &clsid), S_OK) << narrow(prog_id);
        }

        ASSERT_EQ(loaded.register_server(), S_OK);
        const RegistrySnapshot registered = snapshot_class_registrations();
        const std::vector<std::wstring> new_keys = added(unregistered, registered);
        EXPECT_TRUE(std::includes(new_keys.begin(), new_keys.end(), must_add.begin(), must_add.end()))
            << "added:\n"
            << joined(new_keys) << "expected at least:\n"
            << joined(must_add);

        ASSERT_EQ(loaded.unregister_server(), S_OK);
        EXPECT_EQ(snapshot_class_registrations(), unregistered) << "a second round trip differs";
        ASSERT_EQ(loaded.register_server(), S_OK);
    }
}

TEST(Registration, ClassesAreApartmentThreadedInProcessServersOfTheirFile) {
    struct Case {
        std::wstring prog_id;
        std::wstring file;
    };
    std::vector<Case> cases;
    for (const std::wstring& name : kLibraryClasses) cases.push_back({library_prog_id(name), L"numori10.dll"});
    for (const std::wstring& name : kStandinClasses) cases.push_back({standin_prog_id(name), L"vxfundara10.dll"});
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.prog_id));
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(c.prog_id.c_str(), &clsid), S_OK);
        const std::wstring server_key = L"CLSID\\" + guid_text(clsid) + L"\\InprocServer32";
        EXPECT_EQ(class_registry_text(server_key, L"ThreadingModel"), L"Apartment");
        std::wstring path = class_registry_text(server_key, nullptr);
        std::transform(path.begin(), path.end(), path.begin(), ::towlower);
        ASSERT_GE(path.size(), c.file.size());
        EXPECT_EQ(path.substr(path.size() - c.file.size()), c.file);
    }
}
