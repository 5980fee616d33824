// Objects made on this single-threaded apartment and called from another
// thread, in a second single-threaded apartment or in the multithreaded
// one, through the marshaler that registration sets up (the type-library
// marshaler for every default interface). Each call must run on the
// object's own thread, which this apartment's message filter sees, and give
// what the same call gives directly. Where Wine's marshaler cannot carry
// something, a test object of the same interface shows it and the case is
// skipped.
#include "support/apartment_thread.h"
#include "support/cross_apartment.h"
#include "support/host_record.h"
#include "support/incoming_calls.h"
#include "support/late_bound.h"
#include "support/marshaler_witness.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

constexpr GUID kMatrixRecord = {0x624943a9, 0x50c8, 0x49dd, {0xbc, 0xa0, 0xc6, 0x35, 0x86, 0x76, 0x6c, 0x14}};
constexpr HRESULT kMatrixError = automation_error(1000);

// Virtual-table slots: IDispatch's seven first, then the members in order.
constexpr WORD kGetIDsOfNames = 5, kInvoke = 6;
constexpr WORD slot(WORD member) { return static_cast<WORD>(7 + member); }

struct Placement {
    Apartment caller;
    Route route;
};

const Placement kPlacements[] = {
    {Apartment::SingleThreaded, Route::GlobalInterfaceTable},
    {Apartment::SingleThreaded, Route::Stream},
    {Apartment::MultiThreaded, Route::GlobalInterfaceTable},
    {Apartment::MultiThreaded, Route::Stream},
};

std::string label(const Placement& placement) {
    return std::string("called from a ") + apartment_name(placement.caller) + " through a " +
           route_name(placement.route);
}

ComPtr<IDispatch> create(const wchar_t* prog_id) {
    Creation created = create_by_prog_id(prog_id);
    EXPECT_EQ(created.status, S_OK) << narrow(prog_id);
    return created.object;
}

ComPtr<IRecordInfo> platform_record_info() {
    ComPtr<IRecordInfo> info;
    EXPECT_EQ(GetRecordInfoFromGuids(LIBID_Numoria10, 1, 0, 0, kMatrixRecord, &info), S_OK);
    return info;
}

template <class Interface>
ComPtr<Interface> fetch(CrossApartment& route) {
    ComPtr<Interface> object;
    route.fetch(__uuidof(Interface), reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

struct Published {
    IUnknown* object;
    IID iid;
};

struct CrossCall {
    bool finished = false;
    DWORD caller_thread = 0;
    std::vector<IncomingCall> incoming;
};

// Runs `body` in the placement's apartment with routes to `objects` (each
// published under its interface); the incoming calls are those this
// apartment served meanwhile.
CrossCall call_across(const Placement& placement, const std::vector<Published>& objects,
                      const std::function<void(std::vector<std::unique_ptr<CrossApartment>>&)>& body) {
    std::vector<std::unique_ptr<CrossApartment>> routes;
    for (const Published& published : objects) {
        routes.push_back(std::make_unique<CrossApartment>(placement.route, published.object, published.iid));
        EXPECT_EQ(routes.back()->published(), S_OK);
    }
    IncomingCalls watch;
    EXPECT_TRUE(watch.installed());
    CrossCall call;
    call.finished = run_in_apartment(placement.caller, [&] {
        call.caller_thread = GetCurrentThreadId();
        body(routes);
    });
    call.incoming = watch.calls();
    return call;
}

std::size_t count(const std::vector<IncomingCall>& calls, REFIID iid, WORD method) {
    std::size_t found = 0;
    for (const IncomingCall& call : calls) found += IsEqualIID(call.iid, iid) && call.method == method;
    return found;
}

// Every call arrived on this thread, none ran on the caller's, and each of
// `expected` (interface, slot, times) arrived as often as it was made.
struct ExpectedCall {
    IID iid;
    WORD method;
    std::size_t times;
};

void expect_served_here(const CrossCall& call, const std::vector<ExpectedCall>& expected) {
    ASSERT_TRUE(call.finished) << "the calling thread did not finish";
    EXPECT_NE(call.caller_thread, GetCurrentThreadId());
    for (const IncomingCall& incoming : call.incoming) EXPECT_EQ(incoming.thread, GetCurrentThreadId());
    for (const ExpectedCall& e : expected)
        EXPECT_EQ(count(call.incoming, e.iid, e.method), e.times) << "slot " << e.method;
}

std::wstring text_of(HRESULT status, const std::wstring& value) { return std::to_wstring(status) + L": " + value; }

// The scalar and string members, through whichever pointers it is given.
std::vector<std::wstring> scalar_and_string_results(_clsVxNumsConversionsA* conversions, IDispatch* conversions_late,
                                                    _clsVxNumsPerComA* perCom, IDispatch* perCom_late) {
    std::vector<std::wstring> results;
    Bstr text;
    results.push_back(text_of(conversions->DecimalToHex(255, text.out()), text.text()));
    results.push_back(text_of(conversions->DecimalToBinary(-6, text.out()), text.text()));
    LONG number = 0;
    Bstr binary(L"101101"), foreign(L"\u00fc\u6570");
    results.push_back(text_of(conversions->BinaryToDecimal(binary.get(), &number), std::to_wstring(number)));
    results.push_back(text_of(conversions->HexToDecimal(foreign.get(), &number), std::to_wstring(number)));
    short n = 10, r = 3;
    double value = 0;
    results.push_back(text_of(perCom->Combination(&n, &r, &value), std::to_wstring(value)));
    results.push_back(text_of(perCom->Factorial(&n, &value), std::to_wstring(value) + L" n=" + std::to_wstring(n)));
    CallResult octal = call_by_name(conversions_late, L"DecimalToOctal", {Variant::of_text(L"64")});
    results.push_back(text_of(octal.status, octal.value.text()));
    CallResult permutation = call_by_name(perCom_late, L"Permutation", {Variant::of_i2(5), Variant::of_i2(2)});
    results.push_back(text_of(permutation.status, permutation.value.text()));
    return results;
}

// Record results of the matrix interface, each as its numbers followed by
// the call's status. Every call gets inputs of its own, so that a change the
// marshaler makes to one call's inputs cannot reach the next call.
std::vector<std::vector<double>> record_results(_clsVxNumsMatrixA* matrix) {
    using Call = std::function<HRESULT(HostRecord & wide, HostRecord & square, Matrix * result)>;
    const Call calls[] = {
        [&](HostRecord&, HostRecord&, Matrix* result) {
            SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 2);
            LONG index = 0;
            Variant one = Variant::of_r8(1.5), two = Variant::of_text(L"-4");
            SafeArrayPutElement(values, &index, one.get());
            ++index;
            SafeArrayPutElement(values, &index, two.get());
            const HRESULT status = matrix->CreateMatrix(2, 2, &values, result);
            SafeArrayDestroy(values);
            return status;
        },
        [&](HostRecord& wide, HostRecord&, Matrix* result) { return matrix->TransposeMatrix(wide.get(), result); },
        [&](HostRecord& wide, HostRecord& square, Matrix* result) {
            return matrix->MultiplyMatrix(wide.get(), square.get(), result);
        },
        [&](HostRecord&, HostRecord& square, Matrix* result) { return matrix->InvertMatrix(square.get(), result); },
    };
    std::vector<std::vector<double>> results;
    for (const Call& call : calls) {
        HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6}), square(3, 3, {2, 0, 1, 1, 3, 2, 1, 1, 2}), result;
        const HRESULT status = call(wide, square, result.get());
        results.push_back(record_numbers(result.value()));
        results.back().push_back(status);
    }
    HostRecord square(3, 3, {2, 0, 1, 1, 3, 2, 1, 1, 2});
    double determinant = 0;
    const HRESULT status = matrix->Determinant(square.get(), &determinant);
    results.push_back({determinant, static_cast<double>(status)});
    return results;
}

// A VARIANT that holds a record, sent through the platform's VARIANT wire
// format (the one every IDispatch proxy uses) and read back in this
// process: whether the record and its description survive.
struct WireRoundTrip {
    ULONG bytes = 0;
    bool has_record = false;
    bool has_description = false;
    bool keeps_record() const { return has_record && has_description; }
    std::string describe() const {
        return std::to_string(bytes) + " bytes on the wire, read back with the record " +
               (has_record ? "present" : "missing") + " and the description (pRecInfo) " +
               (has_description ? "present" : "missing");
    }
};

WireRoundTrip record_variant_round_trip(VARTYPE type, Matrix* record, IRecordInfo* info) {
    VARIANT sent{};
    sent.vt = type;
    sent.pvRecord = record;
    sent.pRecInfo = info;
    ULONG flags = (NDR_LOCAL_DATA_REPRESENTATION << 16) | MSHCTX_INPROC;
    WireRoundTrip trip;
    trip.bytes = VARIANT_UserSize(&flags, 0, &sent);
    // Aligned, and far larger than the size the platform asked for.
    std::vector<unsigned long long> buffer(trip.bytes / sizeof(unsigned long long) + 4096);
    auto* wire = reinterpret_cast<unsigned char*>(buffer.data());
    VARIANT_UserMarshal(&flags, wire, &sent);
    VARIANT received{};
    VARIANT_UserUnmarshal(&flags, wire, &received);
    trip.has_record = received.vt == type && received.pvRecord != nullptr;
    trip.has_description = received.vt == type && received.pRecInfo != nullptr;
    if (trip.keeps_record()) {
        const std::vector<double> sent_numbers = record_numbers(*record);
        trip.has_record = record_numbers(*static_cast<const Matrix*>(received.pvRecord)) == sent_numbers;
    }
    VARIANT_UserFree(&flags, &received);
    return trip;
}

// "(1 To 2, 1 To 3)" from the numbers of a record with an array.
std::string bounds_of(const std::vector<double>& numbers) {
    if (numbers.size() < 6) return "(no array)";
    auto range = [&](std::size_t at) {
        const long lower = static_cast<long>(numbers[at]);
        return std::to_string(lower) + " To " + std::to_string(lower + static_cast<long>(numbers[at + 1]) - 1);
    };
    std::string text = "(";
    text += range(2) + ", " + range(4);
    return text + ")";
}

Variant record_reference(HostRecord& record, IRecordInfo* info) {
    Variant argument;
    argument.get()->vt = VT_RECORD | VT_BYREF;
    argument.get()->pvRecord = record.get();
    argument.get()->pRecInfo = info; // by reference: clearing leaves it alone
    return argument;
}

} // namespace

TEST(Apartments, ScalarAndStringMembersRunOnTheObjectsThread) {
    ComPtr<IDispatch> conversions = create(L"Numoria10.clsVxNumsConversionsA");
    ComPtr<IDispatch> perCom = create(L"Numoria10.clsVxNumsPerComA");
    ComPtr<_clsVxNumsConversionsA> conversions_early;
    ComPtr<_clsVxNumsPerComA> perCom_early;
    ASSERT_EQ(conversions.As(&conversions_early), S_OK);
    ASSERT_EQ(perCom.As(&perCom_early), S_OK);
    const std::vector<std::wstring> direct =
        scalar_and_string_results(conversions_early.Get(), conversions.Get(), perCom_early.Get(), perCom.Get());

    const IID conversions_iid = __uuidof(_clsVxNumsConversionsA), perCom_iid = __uuidof(_clsVxNumsPerComA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        std::vector<std::wstring> across;
        const CrossCall call =
            call_across(placement,
                        {{conversions.Get(), conversions_iid},
                         {conversions.Get(), IID_IDispatch},
                         {perCom.Get(), perCom_iid},
                         {perCom.Get(), IID_IDispatch}},
                        [&](auto& routes) {
                            auto early_conversions = fetch<_clsVxNumsConversionsA>(*routes[0]);
                            auto late_conversions = fetch<IDispatch>(*routes[1]);
                            auto early_perCom = fetch<_clsVxNumsPerComA>(*routes[2]);
                            auto late_perCom = fetch<IDispatch>(*routes[3]);
                            if (early_conversions && late_conversions && early_perCom && late_perCom)
                                across = scalar_and_string_results(early_conversions.Get(), late_conversions.Get(),
                                                                   early_perCom.Get(), late_perCom.Get());
                        });
        EXPECT_EQ(across, direct);
        expect_served_here(call, {{conversions_iid, slot(2), 1},
                                  {conversions_iid, slot(0), 1},
                                  {conversions_iid, slot(1), 1},
                                  {conversions_iid, slot(3), 1},
                                  {perCom_iid, slot(0), 1},
                                  {perCom_iid, slot(2), 1},
                                  {IID_IDispatch, kGetIDsOfNames, 2},
                                  {IID_IDispatch, kInvoke, 2}});
    }
}

// The object kept by BuddyObjectGlobal belongs to the thread that runs the
// member: set through a proxy, it lands in the storage of the object's own
// thread, and the calling thread's storage stays empty.
TEST(Apartments, BuddyObjectSetThroughAProxyBelongsToTheObjectsThread) {
    ComPtr<IDispatch> information = create(L"Numoria10.clsVxNumoria10A");
    ComPtr<IDispatch> token = create(L"Numoria10.clsVxNumsGeneralA");
    ComPtr<IUnknown> token_identity;
    ASSERT_EQ(token.As(&token_identity), S_OK);
    const IID iid = __uuidof(_clsVxNumoria10A);
    constexpr WORD kGetBuddy = slot(5), kPutRefBuddy = slot(6);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        HRESULT stored = E_FAIL, read_back = E_FAIL, read_locally = E_FAIL;
        bool same_object = false, empty_locally = false;
        const CrossCall call =
            call_across(placement, {{information.Get(), iid}, {token.Get(), IID_IDispatch}}, [&](auto& routes) {
                auto proxy = fetch<_clsVxNumoria10A>(*routes[0]);
                auto token_proxy = fetch<IDispatch>(*routes[1]);
                if (!proxy || !token_proxy) return;
                stored = proxy->putref_BuddyObjectGlobal(token_proxy.Get());
                ComPtr<IDispatch> got;
                read_back = proxy->get_BuddyObjectGlobal(got.GetAddressOf());
                ComPtr<IUnknown> got_identity, sent_identity;
                same_object = got && SUCCEEDED(got.As(&got_identity)) && SUCCEEDED(token_proxy.As(&sent_identity)) &&
                              got_identity == sent_identity;
                ComPtr<_clsVxNumoria10A> local;
                Creation here = create_by_prog_id(L"Numoria10.clsVxNumoria10A");
                if (here.object && SUCCEEDED(here.object.As(&local))) {
                    ComPtr<IDispatch> local_buddy;
                    read_locally = local->get_BuddyObjectGlobal(local_buddy.GetAddressOf());
                    empty_locally = !local_buddy;
                }
            });
        expect_served_here(call, {{iid, kPutRefBuddy, 1}, {iid, kGetBuddy, 1}});
        EXPECT_EQ(stored, S_OK);
        EXPECT_EQ(read_back, S_OK);
        EXPECT_TRUE(same_object) << "the caller reads back what it stored";
        EXPECT_EQ(read_locally, S_OK);
        EXPECT_TRUE(empty_locally) << "the calling thread's own storage was written";

        // This thread's storage holds the token itself, read by another object.
        Creation reader = create_by_prog_id(L"Numoria10.clsVxNumoria10A");
        ComPtr<_clsVxNumoria10A> direct;
        ASSERT_EQ(reader.object.As(&direct), S_OK);
        ComPtr<IDispatch> held;
        ASSERT_EQ(direct->get_BuddyObjectGlobal(held.GetAddressOf()), S_OK);
        ComPtr<IUnknown> held_identity;
        ASSERT_TRUE(held && SUCCEEDED(held.As(&held_identity)));
        EXPECT_EQ(held_identity, token_identity);
        EXPECT_EQ(direct->putref_BuddyObjectGlobal(nullptr), S_OK);
    }
}

TEST(Apartments, MatrixRecordResultsComeBackThroughTheInterface) {
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    ComPtr<_clsVxNumsMatrixA> early;
    ASSERT_EQ(matrix.As(&early), S_OK);
    const std::vector<std::vector<double>> direct = record_results(early.Get());

    const IID iid = __uuidof(_clsVxNumsMatrixA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        std::vector<std::vector<double>> across;
        const CrossCall call = call_across(placement, {{matrix.Get(), iid}}, [&](auto& routes) {
            if (auto proxy = fetch<_clsVxNumsMatrixA>(*routes[0])) across = record_results(proxy.Get());
        });
        EXPECT_EQ(across, direct);
        expect_served_here(
            call, {{iid, slot(0), 1}, {iid, slot(1), 1}, {iid, slot(5), 1}, {iid, slot(7), 1}, {iid, slot(6), 1}});
    }
}

// Records are passed in-out at the interface and are only read; the copy
// the marshaler hands back must equal what the caller gave.
TEST(Apartments, InputRecordsComeBackUnchanged) {
    ComPtr<MarshalerWitness> witness = MarshalerWitness::create();
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    const IID iid = __uuidof(_clsVxNumsMatrixA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        std::vector<double> sent, witness_returned, library_returned;
        const CrossCall call = call_across(
            placement, {{static_cast<_clsVxNumsMatrixA*>(witness.Get()), iid}, {matrix.Get(), iid}}, [&](auto& routes) {
                HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
                sent = record_numbers(wide.value());
                auto witness_proxy = fetch<_clsVxNumsMatrixA>(*routes[0]);
                auto library_proxy = fetch<_clsVxNumsMatrixA>(*routes[1]);
                if (!witness_proxy || !library_proxy) return;
                witness_proxy->PrintMatrix(wide.get());
                witness_returned = record_numbers(wide.value());
                HostRecord fresh(2, 3, {1, 2, 3, 4, 5, 6});
                HostRecord result;
                library_proxy->TransposeMatrix(fresh.get(), result.get());
                library_proxy->PrintMatrix(fresh.get());
                library_returned = record_numbers(fresh.value());
            });
        ASSERT_TRUE(call.finished);
        if (witness_returned != sent)
            GTEST_SKIP() << "Wine 8's marshaler changes an in-out record that the object never touched: a record "
                            "whose array has bounds "
                         << bounds_of(sent) << " comes back with " << bounds_of(witness_returned)
                         << ", so whether the library leaves its inputs alone cannot be seen through it";
        EXPECT_EQ(library_returned, sent);
    }
}

TEST(Apartments, ErrorsReachTheCallerWithTheirNumberAndTexts) {
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    const IID iid = __uuidof(_clsVxNumsMatrixA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        HRESULT early_status = S_OK, supports = E_FAIL;
        CallResult late;
        const CrossCall call =
            call_across(placement, {{matrix.Get(), iid}, {matrix.Get(), IID_IDispatch}}, [&](auto& routes) {
                auto early = fetch<_clsVxNumsMatrixA>(*routes[0]);
                auto by_name = fetch<IDispatch>(*routes[1]);
                if (!early || !by_name) return;
                SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 0);
                HostRecord result;
                early_status = early->CreateMatrix(0, 5, &values, result.get());
                SafeArrayDestroy(values);
                ComPtr<ISupportErrorInfo> support;
                if (SUCCEEDED(early.As(&support))) supports = support->InterfaceSupportsErrorInfo(iid);
                late = call_by_name(by_name.Get(), L"CreateMatrix", {Variant::of_i2(0), Variant::of_i2(5)},
                                    DISPATCH_METHOD);
            });
        expect_served_here(call, {{iid, slot(0), 1}, {IID_IDispatch, kInvoke, 1}});
        EXPECT_EQ(early_status, kMatrixError);
        EXPECT_EQ(supports, S_OK);
        EXPECT_EQ(late.status, DISP_E_EXCEPTION);
        EXPECT_EQ(late.scode, kMatrixError);
        EXPECT_EQ(late.source, L"ZizivaDav - CreateMatrix");
        EXPECT_EQ(late.description, L"Cannot create matrix with dimention = 0!");
    }
}

TEST(Apartments, ErrorInformationReachesTheCallingThread) {
    ComPtr<MarshalerWitness> witness = MarshalerWitness::create();
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    const IID iid = __uuidof(_clsVxNumsMatrixA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        HRESULT witness_status = S_OK, witness_info = E_FAIL, library_status = S_OK, library_info = E_FAIL;
        std::wstring source, description;
        const CrossCall call = call_across(
            placement, {{static_cast<_clsVxNumsMatrixA*>(witness.Get()), iid}, {matrix.Get(), iid}}, [&](auto& routes) {
                auto witness_proxy = fetch<_clsVxNumsMatrixA>(*routes[0]);
                auto library_proxy = fetch<_clsVxNumsMatrixA>(*routes[1]);
                if (!witness_proxy || !library_proxy) return;
                HostRecord square(2, 2, {1, 0, 0, 1});
                double determinant = 0;
                SetErrorInfo(0, nullptr);
                witness_status = witness_proxy->Determinant(square.get(), &determinant);
                ComPtr<IErrorInfo> error;
                witness_info = GetErrorInfo(0, &error);
                error.Reset();
                HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
                library_status = library_proxy->Determinant(wide.get(), &determinant);
                library_info = GetErrorInfo(0, &error);
                if (library_info == S_OK) {
                    Bstr text;
                    error->GetSource(text.out());
                    source = text.text();
                    error->GetDescription(text.out());
                    description = text.text();
                }
            });
        ASSERT_TRUE(call.finished);
        ASSERT_EQ(witness_status, MarshalerWitness::kFailure);
        if (witness_info != S_OK)
            GTEST_SKIP() << "Wine 8's marshaler does not carry error information to the calling thread: a test "
                            "object that sets it and fails arrives with its status and no error information";
        EXPECT_EQ(library_status, kMatrixError);
        ASSERT_EQ(library_info, S_OK);
        EXPECT_EQ(source, L"ZizivaDav - Determinant");
        EXPECT_EQ(description, L"Cannot calculate Determinant of non-square matrix!");
    }
}

namespace {

// The numbers of a call's record result; none when it has no record.
std::vector<double> result_numbers(const CallResult& result) {
    if (result.value.type() != VT_RECORD || !result.value.get()->pvRecord) return {};
    return record_numbers(*static_cast<const Matrix*>(result.value.get()->pvRecord));
}

// Makes `call` through a proxy of `matrix` from each placement: it must be
// served on this thread, succeed and give the record the direct call gave.
void expect_record_result_across(IDispatch* matrix, const std::function<CallResult(IDispatch*)>& call) {
    CallResult direct = call(matrix);
    ASSERT_EQ(direct.value.type(), VT_RECORD);
    const std::vector<double> expected = result_numbers(direct);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        HRESULT status = E_FAIL;
        std::vector<double> across;
        const CrossCall crossing = call_across(placement, {{matrix, IID_IDispatch}}, [&](auto& routes) {
            auto proxy = fetch<IDispatch>(*routes[0]);
            if (!proxy) return;
            CallResult result = call(proxy.Get());
            status = result.status;
            across = result_numbers(result);
        });
        expect_served_here(crossing, {{IID_IDispatch, kInvoke, 1}});
        EXPECT_EQ(status, S_OK);
        EXPECT_EQ(across, expected);
    }
}

} // namespace

// Calls by name with a record argument, by reference as hosts pass it: the
// VARIANT must reach the object with the record and its description.
TEST(Apartments, RecordArgumentsByNameCrossTheBoundary) {
    ComPtr<IRecordInfo> info = platform_record_info();
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
    const WireRoundTrip wire = record_variant_round_trip(VT_RECORD | VT_BYREF, wide.get(), info.Get());
    if (!wire.keeps_record())
        GTEST_SKIP() << "Wine 8's VARIANT wire format drops a record passed by reference: " << wire.describe()
                     << "; such a call across apartments is not made";
    expect_record_result_across(matrix.Get(), [&](IDispatch* target) {
        // Each caller passes a record of its own.
        HostRecord caller_wide(2, 3, {1, 2, 3, 4, 5, 6});
        return call_by_name(target, L"TransposeMatrix", {record_reference(caller_wide, info.Get())}, DISPATCH_METHOD);
    });
}

// Calls by name whose result is a record: the VARIANT must come back with
// the record and its description.
TEST(Apartments, RecordResultsByNameCrossTheBoundary) {
    ComPtr<IRecordInfo> info = platform_record_info();
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
    const WireRoundTrip wire = record_variant_round_trip(VT_RECORD, wide.get(), info.Get());
    if (!wire.keeps_record())
        GTEST_SKIP() << "Wine 8's VARIANT wire format drops a record result: " << wire.describe()
                     << "; such a call across apartments is not made";
    const std::vector<Variant> arguments = {Variant::of_i2(2),   Variant::of_i2(2),      Variant::of_i2(1),
                                            Variant::of_r8(2.5), Variant::of_text(L"3"), Variant::of_bool(true)};
    expect_record_result_across(matrix.Get(), [&](IDispatch* target) {
        return call_by_name(target, L"CreateMatrix", arguments, DISPATCH_METHOD);
    });
}
