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
        if (server_.registerServer) server_.registerServer();
    }

private:
    LoadedServer& server_;
};

struct ServerCase {
    std::wstring dll;
    std::vector<std::wstring> progIds;
    bool hasTypeLibrary;
};

// The keys a server's registration must add, read while it is registered.
std::vector<std::wstring> expectedKeys(const ServerCase& server) {
    std::vector<std::wstring> keys;
    for (const std::wstring& progId : server.progIds) {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(progId.c_str(), &clsid), S_OK) << narrow(progId);
        keys.push_back(progId);
        keys.push_back(L"CLSID\\" + guidText(clsid));
    }
    if (server.hasTypeLibrary)
        for (std::wstring& key : typeLibraryKeys(distFile(server.dll))) keys.push_back(std::move(key));
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
    for (const std::wstring& name : kLibraryClasses) servers[0].progIds.push_back(libraryProgId(name));
    for (const std::wstring& name : kStandinClasses) servers[1].progIds.push_back(standinProgId(name));

    for (const ServerCase& server : servers) {
        SCOPED_TRACE(narrow(server.dll));
        LoadedServer loaded(distFile(server.dll));
        ASSERT_TRUE(loaded.loaded() && loaded.registerServer && loaded.unregisterServer);
        ReregisterOnExit restore(loaded);
        const std::vector<std::wstring> mustAdd = expectedKeys(server);
        ASSERT_FALSE(mustAdd.empty());

        ASSERT_EQ(loaded.unregisterServer(), S_OK);
        const RegistrySnapshot unregistered = snapshotClassRegistrations();
        for (const std::wstring& key : mustAdd)
            EXPECT_EQ(unregistered.count(key), 0u) << "left behind: " << narrow(key);
        for (const std::wstring& progId : server.progIds) {
            CLSID clsid{};
            EXPECT_NE(CLSIDFromProgID(progId.c_str(), &clsid), S_OK) << narrow(progId);
        }

        ASSERT_EQ(loaded.registerServer(), S_OK);
        const RegistrySnapshot registered = snapshotClassRegistrations();
        const std::vector<std::wstring> newKeys = added(unregistered, registered);
        EXPECT_TRUE(std::includes(newKeys.begin(), newKeys.end(), mustAdd.begin(), mustAdd.end()))
            << "added:\n"
            << joined(newKeys) << "expected at least:\n"
            << joined(mustAdd);

        ASSERT_EQ(loaded.unregisterServer(), S_OK);
        EXPECT_EQ(snapshotClassRegistrations(), unregistered) << "a second round trip differs";
        ASSERT_EQ(loaded.registerServer(), S_OK);
    }
}

TEST(Registration, ClassesAreApartmentThreadedInProcessServersOfTheirFile) {
    struct Case {
        std::wstring progId;
        std::wstring file;
    };
    std::vector<Case> cases;
    for (const std::wstring& name : kLibraryClasses) cases.push_back({libraryProgId(name), L"numori10.dll"});
    for (const std::wstring& name : kStandinClasses) cases.push_back({standinProgId(name), L"vxfundara10.dll"});
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.progId));
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(c.progId.c_str(), &clsid), S_OK);
        const std::wstring serverKey = L"CLSID\\" + guidText(clsid) + L"\\InprocServer32";
        EXPECT_EQ(classRegistryText(serverKey, L"ThreadingModel"), L"Apartment");
        std::wstring path = classRegistryText(serverKey, nullptr);
        std::transform(path.begin(), path.end(), path.begin(), ::towlower);
        ASSERT_GE(path.size(), c.file.size());
        EXPECT_EQ(path.substr(path.size() - c.file.size()), c.file);
    }
}
