// The calls numori10.dll makes into the framework library, seen through the
// stand-in's log: one environment call per creation, the error report when
// that call fails, creation failing when the report itself cannot be made,
// and the About box.
#include "support/late_bound.h"
#include "support/library_classes.h"
#include "support/loaded_server.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <optional>

using namespace wine_tests;

namespace {

const std::string kEnvironmentLocation = "basVxfuCommonA.EnsureVxEnvironmentStatus_Pro";
const std::string kAboutLocation = "basVxfuCommonA.AppAboutVxfu_Pro";

bool is_automation_error(HRESULT hr) {
    return (static_cast<unsigned long>(hr) & 0xFFFF0000UL) == 0x800A0000UL;
}

// The description the creating thread's error information holds, if any.
std::optional<std::wstring> pending_error_description() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.GetAddressOf()) != S_OK || !info) return std::nullopt;
    Bstr description;
    info->GetDescription(description.out());
    return description.text();
}

// Unregisters the stand-in for one scope, as if the framework were absent.
class StandinUnregistered {
public:
    StandinUnregistered() : server_(dist_file(L"vxfundara10.dll")) {
        ok_ = server_.unregister_server && server_.unregister_server() == S_OK;
    }
    ~StandinUnregistered() {
        if (server_.register_server) server_.register_server();
    }
    bool ok() const { return ok_; }

private:
    LoadedServer server_;
    bool ok_ = false;
};

}  // namespace

TEST(FrameworkCalls, EachCreationMakesExactlyOneEnvironmentCall) {
    for (const std::wstring& name : kLibraryClasses) {
        SCOPED_TRACE(narrow(name));
        ScopedStandinLog log;
        for (int created = 1; created <= 3; ++created) {
            ASSERT_EQ(create_by_prog_id(library_prog_id(name)).status, S_OK);
            auto calls = log.calls("EnsureVxEnvironmentStatus");
            ASSERT_EQ(calls.size(), static_cast<size_t>(created)) << log.contents();
            EXPECT_EQ(calls.back(), (std::vector<std::string>{"EnsureVxEnvironmentStatus", "True", "99"}));
        }
        EXPECT_TRUE(log.calls("ErrorHandlerMessageVx").empty()) << log.contents();
    }
}

TEST(FrameworkCalls, FailingEnvironmentCallIsReportedAndCreationGoesOn) {
    ScopedEnvironment fail(L"NUMORIA_STANDIN_FAIL_ENVIRONMENT", L"77");
    for (const std::wstring& name : kLibraryClasses) {
        SCOPED_TRACE(narrow(name));
        ScopedStandinLog log;
        Creation created = create_by_prog_id(library_prog_id(name));
        EXPECT_EQ(created.status, S_OK);
        EXPECT_TRUE(created.object);
        EXPECT_EQ(log.calls("EnsureVxEnvironmentStatus").size(), 1u);
        auto reports = log.calls("ErrorHandlerMessageVx");
        ASSERT_EQ(reports.size(), 1u) << log.contents();
        ASSERT_EQ(reports[0].size(), 5u);
        EXPECT_EQ(reports[0][1], "77");
        EXPECT_EQ(reports[0][2], "VxFundara10");
        EXPECT_EQ(reports[0][3], "The environment status could not be ensured");
        EXPECT_EQ(reports[0][4], kEnvironmentLocation);
    }
}

TEST(FrameworkCalls, MissingEnvironmentClassIsReportedTwiceAndCreationGoesOn) {
    // The creation fails, then the call on the unset object fails: two reports.
    ScopedEnvironment refuse(L"NUMORIA_STANDIN_REFUSE", L"clsVxfuEnvironmentA");
    ScopedStandinLog log;
    Creation created = create_by_prog_id(library_prog_id(L"clsVxNumsMatrixA"));
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
        bool unregister_standin;
        std::optional<long> number;  // the exact error number, where the stand-in chose it
    };
    const Case cases[] = {
        {"environment and error handler refused",
         {{L"NUMORIA_STANDIN_REFUSE", L"clsVxfuEnvironmentA,clsVxfuErrorHandlerA"}}, false, {}},
        {"framework library not registered", {}, true, {}},
        {"error handler raises while reporting",
         {{L"NUMORIA_STANDIN_FAIL_ENVIRONMENT", L"5"}, {L"NUMORIA_STANDIN_FAIL_ERRORHANDLER", L"1234"}},
         false, 1234},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::unique_ptr<ScopedEnvironment>> hooks;
        for (const auto& [name, value] : c.hooks)
            hooks.push_back(std::make_unique<ScopedEnvironment>(name, value));
        std::optional<StandinUnregistered> absent;
        if (c.unregister_standin) {
            absent.emplace();
            ASSERT_TRUE(absent->ok());
        }
        for (const std::wstring& name : kLibraryClasses) {
            SCOPED_TRACE(narrow(name));
            SetErrorInfo(0, nullptr);
            Creation created = create_by_prog_id(library_prog_id(name));
            EXPECT_FALSE(created.object);
            EXPECT_TRUE(is_automation_error(created.status))
                << "creation failed with 0x" << std::hex << created.status;
            if (c.number) {
                EXPECT_EQ(static_cast<unsigned long>(created.status), 0x800A0000UL + *c.number);
            }
            auto description = pending_error_description();
            EXPECT_TRUE(description && !description->empty()) << "no error information";
        }
    }
    // With the framework back, creation works again.
    EXPECT_EQ(create_by_prog_id(library_prog_id(L"clsVxNumsMatrixA")).status, S_OK);
}

TEST(FrameworkCalls, AboutShowsTheLibraryVersionThroughTheFramework) {
    ScopedEnvironment no_ui(L"NUMORIA_STANDIN_NO_UI", L"1");
    ScopedStandinLog log;
    Creation info = create_by_prog_id(library_prog_id(L"clsVxNumoria10A"));
    ASSERT_EQ(info.status, S_OK);
    CallResult about = call_by_name(info.object.Get(), L"About");
    ASSERT_EQ(about.status, S_OK) << about.error_number() << " " << narrow(about.source) << ": "
                                  << narrow(about.description) << "\n" << log.contents();
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
    ScopedEnvironment no_ui(L"NUMORIA_STANDIN_NO_UI", L"1");
    Creation info = create_by_prog_id(library_prog_id(L"clsVxNumoria10A"));
    ASSERT_EQ(info.status, S_OK);
    {
        ScopedEnvironment fail(L"NUMORIA_STANDIN_FAIL_ABOUT", L"70");
        ScopedStandinLog log;
        CallResult about = call_by_name(info.object.Get(), L"About");
        EXPECT_EQ(about.status, S_OK) << about.error_number() << " " << narrow(about.source)
                                      << ": " << narrow(about.description);
        EXPECT_EQ(about.value.number(), 0.0);
        auto reports = log.calls("ErrorHandlerMessageVx");
        ASSERT_EQ(reports.size(), 1u) << log.contents();
        ASSERT_EQ(reports[0].size(), 5u);
        EXPECT_EQ(reports[0][1], "70");
        EXPECT_EQ(reports[0][4], kAboutLocation);
    }
    {
        ScopedEnvironment fail(L"NUMORIA_STANDIN_FAIL_ABOUT", L"70");
        ScopedEnvironment report_fails(L"NUMORIA_STANDIN_FAIL_ERRORHANDLER", L"1234");
        CallResult about = call_by_name(info.object.Get(), L"About");
        EXPECT_EQ(about.status, DISP_E_EXCEPTION);
        EXPECT_EQ(about.error_number(), 1234) << "the report's own error leaves About";
    }
}
