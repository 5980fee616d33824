// The calls numori10.dll makes into the framework library, seen through the
// stand-in's log: one environment call per creation, the error report when
// that call fails, creation failing when the report itself cannot be made,
// and the About box.
#include "support/failing_allocation.h"
#include "support/late_bound.h"
#include "support/library_classes.h"
#include "support/loaded_server.h"
#include "support/status_check.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <optional>

using namespace wine_tests;

namespace {

const std::string kEnvironmentLocation = "basVxfuCommonA.EnsureVxEnvironmentStatus_Pro";
const std::string kAboutLocation = "basVxfuCommonA.AppAboutVxfu_Pro";

bool isAutomationError(HRESULT hr) { return HRESULT_FACILITY(hr) == FACILITY_CONTROL && FAILED(hr); }

// The description the creating thread's error information holds, if any.
std::optional<std::wstring> pendingErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.GetAddressOf()) != S_OK || !info) return std::nullopt;
    Bstr description;
    throwIfFailed(info->GetDescription(description.out()), "IErrorInfo::GetDescription");
    return description.text();
}

// Unregisters the stand-in for one scope, as if the framework were absent.
class StandinUnregistered {
public:
    StandinUnregistered() : server_(distFile(L"vxfundara10.dll")) {
        ok_ = server_.unregisterServer && server_.unregisterServer() == S_OK;
    }
    ~StandinUnregistered() {
        if (server_.registerServer) server_.registerServer();
    }
    bool ok() const { return ok_; }

private:
    LoadedServer server_;
    bool ok_ = false;
};

} // namespace

TEST(FrameworkCalls, EachCreationMakesExactlyOneEnvironmentCall) {
    for (const std::wstring& name : kLibraryClasses) {
        SCOPED_TRACE(narrow(name));
        ScopedStandinLog log;
        for (int created = 1; created <= 3; ++created) {
            ASSERT_EQ(createByProgId(libraryProgId(name)).status, S_OK);
            auto calls = log.calls("EnsureVxEnvironmentStatus");
            ASSERT_EQ(calls.size(), static_cast<size_t>(created)) << log.contents();
            EXPECT_EQ(calls.back(), (std::vector<std::string>{"EnsureVxEnvironmentStatus", "True", "99"}));
        }
        EXPECT_TRUE(log.calls("ErrorHandlerMessageVx").empty()) << log.contents();
    }
}

// An error the framework raises is reported as it is; a failed status
// without an exception as the runtime error a host would see for it.
TEST(FrameworkCalls, FailingEnvironmentCallIsReportedAndCreationGoesOn) {
    const std::wstring badParameterCount = std::to_wstring(static_cast<long>(DISP_E_BADPARAMCOUNT));
    const std::vector<std::vector<std::string>> cases = {
        {"77", "77", "VxFundara10", "The environment status could not be ensured"},
        {narrow(badParameterCount), "450", "Numoria10", "Wrong number of arguments or invalid property assignment"},
    };
    for (const auto& c : cases) {
        ScopedEnvironment fail(L"NUMORIA_STANDIN_FAIL_ENVIRONMENT", std::wstring(c[0].begin(), c[0].end()));
        for (const std::wstring& name : kLibraryClasses) {
            SCOPED_TRACE(c[0] + " " + narrow(name));
            ScopedStandinLog log;
            Creation created = createByProgId(libraryProgId(name));
            EXPECT_EQ(created.status, S_OK);
            EXPECT_TRUE(created.object);
            EXPECT_EQ(log.calls("EnsureVxEnvironmentStatus").size(), 1u);
            auto reports = log.calls("ErrorHandlerMessageVx");
            ASSERT_EQ(reports.size(), 1u) << log.contents();
            EXPECT_EQ(reports[0],
                      (std::vector<std::string>{"ErrorHandlerMessageVx", c[1], c[2], c[3], kEnvironmentLocation}));
        }
    }
}

// Each allocation of a creation fails in turn: one inside a step of the
// environment call is reported as out of memory (7) and the creation goes
// on; one inside the report leaves with error 7; only the object's own
// allocation fails the creation with E_OUTOFMEMORY.
TEST(FrameworkCalls, AnAllocationFailingInAStepIsReportedAsOutOfMemory) {
    const std::wstring progId = libraryProgId(L"clsVxNumsPerComA");
    ASSERT_EQ(createByProgId(progId).status, S_OK);
    ASSERT_TRUE(FailingAllocation::redirect(GetModuleHandleW(L"numori10.dll")));
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(progId.c_str(), &clsid), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    constexpr unsigned kMostAllocations = 64;
    int reported = 0;
    unsigned n = 1;
    for (; n <= kMostAllocations; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        ScopedStandinLog log;
        ComPtr<IDispatch> object;
        HRESULT status = E_FAIL;
        bool failed = false;
        {
            FailingAllocation fail(n);
            status = factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.GetAddressOf()));
            failed = fail.failed();
        }
        if (!failed) break;
        const auto reports = log.calls("ErrorHandlerMessageVx");
        if (status == S_OK) {
            for (const auto& report : reports) EXPECT_EQ(report.at(1), "7") << log.contents();
            reported += !reports.empty();
        } else if (n > 1 || status != E_OUTOFMEMORY) {
            EXPECT_EQ(status, automationError(7)) << std::hex << status;
        }
    }
    EXPECT_LE(n, kMostAllocations) << "a creation made more allocations than the test tries";
    EXPECT_GT(reported, 0) << "no failed allocation was reported by its step";
}

TEST(FrameworkCalls, MissingEnvironmentClassIsReportedTwiceAndCreationGoesOn) {
    // The creation fails, then the call on the unset object fails: two reports.
    ScopedEnvironment refuse(L"NUMORIA_STANDIN_REFUSE", L"clsVxfuEnvironmentA");
    ScopedStandinLog log;
    Creation created = createByProgId(libraryProgId(L"clsVxNumsMatrixA"));
    EXPECT_EQ(created.status, S_OK);
    EXPECT_TRUE(log.calls("EnsureVxEnvironmentStatus").empty());
    auto reports = log.calls("ErrorHandlerMessageVx");
    ASSERT_EQ(reports.size(), 2u) << log.contents();
    for (const auto& report : reports) {
        ASSERT_EQ(report.size(), 5u);
        EXPECT_NE(report[1], "0") << "a report carries the error's number";
        EXPECT_EQ(report[4], kEnvironmentLocation);
    }
}

TEST(FrameworkCalls, CreationFailsWithTheErrorOfAReportThatCannotBeMade) {
    struct Case {
        const char* label;
        std::vector<std::pair<std::wstring, std::wstring>> hooks;
        bool unregisterStandin;
        std::optional<long> number; // the exact error number, where the stand-in chose it
    };
    const Case cases[] = {
        {"environment and error handler refused",
         {{L"NUMORIA_STANDIN_REFUSE", L"clsVxfuEnvironmentA,clsVxfuErrorHandlerA"}},
         false,
         {}},
        {"framework library not registered", {}, true, {}},
        {"error handler raises while reporting",
         {{L"NUMORIA_STANDIN_FAIL_ENVIRONMENT", L"5"}, {L"NUMORIA_STANDIN_FAIL_ERRORHANDLER", L"1234"}},
         false,
         1234},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::unique_ptr<ScopedEnvironment>> hooks;
        for (const auto& [name, value] : c.hooks) hooks.push_back(std::make_unique<ScopedEnvironment>(name, value));
        std::optional<StandinUnregistered> absent;
        if (c.unregisterStandin) {
            absent.emplace();
            ASSERT_TRUE(absent->ok());
        }
        for (const std::wstring& name : kLibraryClasses) {
            SCOPED_TRACE(narrow(name));
            ASSERT_EQ(SetErrorInfo(0, nullptr), S_OK) << "clearing error information left by an earlier creation";
            Creation created = createByProgId(libraryProgId(name));
            EXPECT_FALSE(created.object);
            EXPECT_TRUE(isAutomationError(created.status)) << "creation failed with 0x" << std::hex << created.status;
            if (c.number) {
                EXPECT_EQ(created.status, automationError(*c.number));
            }
            auto description = pendingErrorDescription();
            EXPECT_TRUE(description && !description->empty()) << "no error information";
        }
    }
    // With the framework back, creation works again.
    EXPECT_EQ(createByProgId(libraryProgId(L"clsVxNumsMatrixA")).status, S_OK);
}

TEST(FrameworkCalls, AboutShowsTheLibraryVersionThroughTheFramework) {
    ScopedEnvironment noUi(L"NUMORIA_STANDIN_NO_UI", L"1");
    ScopedStandinLog log;
    Creation info = createByProgId(libraryProgId(L"clsVxNumoria10A"));
    ASSERT_EQ(info.status, S_OK);
    CallResult about = callByName(info.object.Get(), L"About");
    ASSERT_EQ(about.status, S_OK) << about.errorNumber() << " " << narrow(about.source) << ": "
                                  << narrow(about.description) << "\n"
                                  << log.contents();
    EXPECT_EQ(about.value.type(), VT_I4);
    EXPECT_EQ(about.value.number(), 0.0);
    auto shown = log.calls("AppAboutVxfu");
    ASSERT_EQ(shown.size(), 1u) << log.contents();
    ASSERT_EQ(shown[0].size(), 2u);
    const std::string& message = shown[0][1];
    EXPECT_TRUE(message.size() > 7 && message.substr(message.size() - 7) == " 1.0.90")
        << "title and version read from the App object: " << message;
    EXPECT_TRUE(log.calls("ErrorHandlerMessageVx").empty()) << log.contents();
}

TEST(FrameworkCalls, FailingAboutIsReportedAndAboutStillReturnsZero) {
    ScopedEnvironment noUi(L"NUMORIA_STANDIN_NO_UI", L"1");
    Creation info = createByProgId(libraryProgId(L"clsVxNumoria10A"));
    ASSERT_EQ(info.status, S_OK);
    {
        ScopedEnvironment fail(L"NUMORIA_STANDIN_FAIL_ABOUT", L"70");
        ScopedStandinLog log;
        CallResult about = callByName(info.object.Get(), L"About");
        EXPECT_EQ(about.status, S_OK) << about.errorNumber() << " " << narrow(about.source) << ": "
                                      << narrow(about.description);
        EXPECT_EQ(about.value.number(), 0.0);
        auto reports = log.calls("ErrorHandlerMessageVx");
        ASSERT_EQ(reports.size(), 1u) << log.contents();
        ASSERT_EQ(reports[0].size(), 5u);
        EXPECT_EQ(reports[0][1], "70");
        EXPECT_EQ(reports[0][4], kAboutLocation);
    }
    {
        ScopedEnvironment fail(L"NUMORIA_STANDIN_FAIL_ABOUT", L"70");
        ScopedEnvironment reportFails(L"NUMORIA_STANDIN_FAIL_ERRORHANDLER", L"1234");
        CallResult about = callByName(info.object.Get(), L"About");
        EXPECT_EQ(about.status, DISP_E_EXCEPTION);
        EXPECT_EQ(about.errorNumber(), 1234) << "the report's own error leaves About";
    }
}
