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
constexpr HRESULT kMatrixError = automationError(1000);

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
    return std::string("called from a ") + apartmentName(placement.caller) + " through a " + routeName(placement.route);
}

ComPtr<IDispatch> create(const wchar_t* progId) {
    Creation created = createByProgId(progId);
    EXPECT_EQ(created.status, S_OK) << narrow(progId);
    return created.object;
}

ComPtr<IRecordInfo> platformRecordInfo() {
    ComPtr<IRecordInfo> info;
    EXPECT_EQ(GetRecordInfoFromGuids(LIBID_Numoria10, 1, 0, 0, kMatrixRecord, &info), S_OK);
    return info;
}

template <class Interface>
ComPtr<Interface> fetch(CrossApartment& route) {
    ComPtr<Interface> object;
    // On the calling apartment's thread a throw would end the process: the status is recorded.
    EXPECT_EQ(route.fetch(__uuidof(Interface), reinterpret_cast<void**>(object.GetAddressOf())), S_OK)
        << "fetching a proxy for the published object";
    return object;
}

struct Published {
    IUnknown* object;
    IID iid;
};

struct CrossCall {
    bool finished = false;
    DWORD callerThread = 0;
    std::vector<IncomingCall> incoming;
};

// Runs `body` in the placement's apartment with routes to `objects` (each
// published under its interface); the incoming calls are those this
// apartment served meanwhile.
CrossCall callAcross(const Placement& placement, const std::vector<Published>& objects,
                     const std::function<void(std::vector<std::unique_ptr<CrossApartment>>&)>& body) {
    std::vector<std::unique_ptr<CrossApartment>> routes;
    for (const Published& published : objects) {
        routes.push_back(std::make_unique<CrossApartment>(placement.route, published.object, published.iid));
        EXPECT_EQ(routes.back()->published(), S_OK);
    }
    IncomingCalls watch;
    EXPECT_TRUE(watch.installed());
    CrossCall call;
    call.finished = runInApartment(placement.caller, [&] {
        call.callerThread = GetCurrentThreadId();
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

void expectServedHere(const CrossCall& call, const std::vector<ExpectedCall>& expected) {
    ASSERT_TRUE(call.finished) << "the calling thread did not finish";
    EXPECT_NE(call.callerThread, GetCurrentThreadId());
    for (const IncomingCall& incoming : call.incoming) EXPECT_EQ(incoming.thread, GetCurrentThreadId());
    for (const ExpectedCall& e : expected)
        EXPECT_EQ(count(call.incoming, e.iid, e.method), e.times) << "slot " << e.method;
}

std::wstring textOf(HRESULT status, const std::wstring& value) { return std::to_wstring(status) + L": " + value; }

// The scalar and string members, through whichever pointers it is given.
std::vector<std::wstring> scalarAndStringResults(_clsVxNumsConversionsA* conversions, IDispatch* conversionsLate,
                                                 _clsVxNumsPerComA* perCom, IDispatch* perCom_late) {
    std::vector<std::wstring> results;
    Bstr text;
    results.push_back(textOf(conversions->DecimalToHex(255, text.out()), text.text()));
    results.push_back(textOf(conversions->DecimalToBinary(-6, text.out()), text.text()));
    LONG number = 0;
    Bstr binary(L"101101"), foreign(L"\u00fc\u6570");
    results.push_back(textOf(conversions->BinaryToDecimal(binary.get(), &number), std::to_wstring(number)));
    results.push_back(textOf(conversions->HexToDecimal(foreign.get(), &number), std::to_wstring(number)));
    short n = 10, r = 3;
    double value = 0;
    results.push_back(textOf(perCom->Combination(&n, &r, &value), std::to_wstring(value)));
    results.push_back(textOf(perCom->Factorial(&n, &value), std::to_wstring(value) + L" n=" + std::to_wstring(n)));
    CallResult octal = callByName(conversionsLate, L"DecimalToOctal", {Variant::ofText(L"64")});
    results.push_back(textOf(octal.status, octal.value.text()));
    CallResult permutation = callByName(perCom_late, L"Permutation", {Variant::ofI2(5), Variant::ofI2(2)});
    results.push_back(textOf(permutation.status, permutation.value.text()));
    return results;
}

// Record results of the matrix interface, each as its numbers followed by
// the call's status. Every call gets inputs of its own, so that a change the
// marshaler makes to one call's inputs cannot reach the next call.
std::vector<std::vector<double>> recordResults(_clsVxNumsMatrixA* matrix) {
    using Call = std::function<HRESULT(HostRecord & wide, HostRecord & square, Matrix * result)>;
    const Call calls[] = {
        [&](HostRecord&, HostRecord&, Matrix* result) {
            SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 2);
            LONG index = 0;
            Variant one = Variant::ofR8(1.5), two = Variant::ofText(L"-4");
            // Runs on the calling apartment's thread too, where a throw would end the process.
            EXPECT_EQ(SafeArrayPutElement(values, &index, one.get()), S_OK) << "storing the first value";
            ++index;
            EXPECT_EQ(SafeArrayPutElement(values, &index, two.get()), S_OK) << "storing the second value";
            const HRESULT status = matrix->CreateMatrix(2, 2, &values, result);
            EXPECT_EQ(SafeArrayDestroy(values), S_OK) << "destroying the values after the call";
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
        results.push_back(recordNumbers(result.value()));
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
    bool hasRecord = false;
    bool hasDescription = false;
    bool keepsRecord() const { return hasRecord && hasDescription; }
    std::string describe() const {
        return std::to_string(bytes) + " bytes on the wire, read back with the record " +
               (hasRecord ? "present" : "missing") + " and the description (pRecInfo) " +
               (hasDescription ? "present" : "missing");
    }
};

WireRoundTrip recordVariantRoundTrip(VARTYPE type, Matrix* record, IRecordInfo* info) {
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
    trip.hasRecord = received.vt == type && received.pvRecord != nullptr;
    trip.hasDescription = received.vt == type && received.pRecInfo != nullptr;
    if (trip.keepsRecord()) {
        const std::vector<double> sentNumbers = recordNumbers(*record);
        trip.hasRecord = recordNumbers(*static_cast<const Matrix*>(received.pvRecord)) == sentNumbers;
    }
    VARIANT_UserFree(&flags, &received);
    return trip;
}

// "(1 To 2, 1 To 3)" from the numbers of a record with an array.
std::string boundsOf(const std::vector<double>& numbers) {
    if (numbers.size() < 6) return "(no array)";
    auto range = [&](std::size_t at) {
        const long lower = static_cast<long>(numbers[at]);
        return std::to_string(lower) + " To " + std::to_string(lower + static_cast<long>(numbers[at + 1]) - 1);
    };
    std::string text = "(";
    text += range(2) + ", " + range(4);
    return text + ")";
}

Variant recordReference(HostRecord& record, IRecordInfo* info) {
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
    ComPtr<_clsVxNumsConversionsA> conversionsEarly;
    ComPtr<_clsVxNumsPerComA> perCom_early;
    ASSERT_EQ(conversions.As(&conversionsEarly), S_OK);
    ASSERT_EQ(perCom.As(&perCom_early), S_OK);
    const std::vector<std::wstring> direct =
        scalarAndStringResults(conversionsEarly.Get(), conversions.Get(), perCom_early.Get(), perCom.Get());

    const IID conversionsIid = __uuidof(_clsVxNumsConversionsA), perCom_iid = __uuidof(_clsVxNumsPerComA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        std::vector<std::wstring> across;
        const CrossCall call =
            callAcross(placement,
                       {{conversions.Get(), conversionsIid},
                        {conversions.Get(), IID_IDispatch},
                        {perCom.Get(), perCom_iid},
                        {perCom.Get(), IID_IDispatch}},
                       [&](auto& routes) {
                           auto earlyConversions = fetch<_clsVxNumsConversionsA>(*routes[0]);
                           auto lateConversions = fetch<IDispatch>(*routes[1]);
                           auto early_perCom = fetch<_clsVxNumsPerComA>(*routes[2]);
                           auto late_perCom = fetch<IDispatch>(*routes[3]);
                           if (earlyConversions && lateConversions && early_perCom && late_perCom)
                               across = scalarAndStringResults(earlyConversions.Get(), lateConversions.Get(),
                                                               early_perCom.Get(), late_perCom.Get());
                       });
        EXPECT_EQ(across, direct);
        expectServedHere(call, {{conversionsIid, slot(2), 1},
                                {conversionsIid, slot(0), 1},
                                {conversionsIid, slot(1), 1},
                                {conversionsIid, slot(3), 1},
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
    ComPtr<IUnknown> tokenIdentity;
    ASSERT_EQ(token.As(&tokenIdentity), S_OK);
    const IID iid = __uuidof(_clsVxNumoria10A);
    constexpr WORD kGetBuddy = slot(5), kPutRefBuddy = slot(6);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        HRESULT stored = E_FAIL, readBack = E_FAIL, readLocally = E_FAIL;
        bool sameObject = false, emptyLocally = false;
        const CrossCall call =
            callAcross(placement, {{information.Get(), iid}, {token.Get(), IID_IDispatch}}, [&](auto& routes) {
                auto proxy = fetch<_clsVxNumoria10A>(*routes[0]);
                auto tokenProxy = fetch<IDispatch>(*routes[1]);
                if (!proxy || !tokenProxy) return;
                stored = proxy->putref_BuddyObjectGlobal(tokenProxy.Get());
                ComPtr<IDispatch> got;
                readBack = proxy->get_BuddyObjectGlobal(got.GetAddressOf());
                ComPtr<IUnknown> gotIdentity, sentIdentity;
                sameObject = got && SUCCEEDED(got.As(&gotIdentity)) && SUCCEEDED(tokenProxy.As(&sentIdentity)) &&
                             gotIdentity == sentIdentity;
                ComPtr<_clsVxNumoria10A> local;
                Creation here = createByProgId(L"Numoria10.clsVxNumoria10A");
                if (here.object && SUCCEEDED(here.object.As(&local))) {
                    ComPtr<IDispatch> localBuddy;
                    readLocally = local->get_BuddyObjectGlobal(localBuddy.GetAddressOf());
                    emptyLocally = !localBuddy;
                }
            });
        expectServedHere(call, {{iid, kPutRefBuddy, 1}, {iid, kGetBuddy, 1}});
        EXPECT_EQ(stored, S_OK);
        EXPECT_EQ(readBack, S_OK);
        EXPECT_TRUE(sameObject) << "the caller reads back what it stored";
        EXPECT_EQ(readLocally, S_OK);
        EXPECT_TRUE(emptyLocally) << "the calling thread's own storage was written";

        // This thread's storage holds the token itself, read by another object.
        Creation reader = createByProgId(L"Numoria10.clsVxNumoria10A");
        ComPtr<_clsVxNumoria10A> direct;
        ASSERT_EQ(reader.object.As(&direct), S_OK);
        ComPtr<IDispatch> held;
        ASSERT_EQ(direct->get_BuddyObjectGlobal(held.GetAddressOf()), S_OK);
        ComPtr<IUnknown> heldIdentity;
        ASSERT_TRUE(held && SUCCEEDED(held.As(&heldIdentity)));
        EXPECT_EQ(heldIdentity, tokenIdentity);
        EXPECT_EQ(direct->putref_BuddyObjectGlobal(nullptr), S_OK);
    }
}

TEST(Apartments, MatrixRecordResultsComeBackThroughTheInterface) {
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    ComPtr<_clsVxNumsMatrixA> early;
    ASSERT_EQ(matrix.As(&early), S_OK);
    const std::vector<std::vector<double>> direct = recordResults(early.Get());

    const IID iid = __uuidof(_clsVxNumsMatrixA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        std::vector<std::vector<double>> across;
        const CrossCall call = callAcross(placement, {{matrix.Get(), iid}}, [&](auto& routes) {
            if (auto proxy = fetch<_clsVxNumsMatrixA>(*routes[0])) across = recordResults(proxy.Get());
        });
        EXPECT_EQ(across, direct);
        expectServedHere(
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
        std::vector<double> sent, witnessReturned, libraryReturned;
        HRESULT witnessPrinted = E_FAIL, libraryTransposed = E_FAIL, libraryPrinted = E_FAIL;
        const CrossCall call = callAcross(
            placement, {{static_cast<_clsVxNumsMatrixA*>(witness.Get()), iid}, {matrix.Get(), iid}}, [&](auto& routes) {
                HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
                sent = recordNumbers(wide.value());
                auto witnessProxy = fetch<_clsVxNumsMatrixA>(*routes[0]);
                auto libraryProxy = fetch<_clsVxNumsMatrixA>(*routes[1]);
                if (!witnessProxy || !libraryProxy) return;
                witnessPrinted = witnessProxy->PrintMatrix(wide.get());
                witnessReturned = recordNumbers(wide.value());
                HostRecord fresh(2, 3, {1, 2, 3, 4, 5, 6});
                HostRecord result;
                libraryTransposed = libraryProxy->TransposeMatrix(fresh.get(), result.get());
                libraryPrinted = libraryProxy->PrintMatrix(fresh.get());
                libraryReturned = recordNumbers(fresh.value());
            });
        ASSERT_TRUE(call.finished);
        if (witnessReturned != sent)
            GTEST_SKIP() << "Wine 8's marshaler changes an in-out record that the object never touched: a record "
                            "whose array has bounds "
                         << boundsOf(sent) << " comes back with " << boundsOf(witnessReturned)
                         << ", so whether the library leaves its inputs alone cannot be seen through it";
        // Checked only here: where the marshaler changes records, the calls' statuses say nothing of the library.
        EXPECT_EQ(witnessPrinted, S_OK) << "the witness's PrintMatrix";
        EXPECT_EQ(libraryTransposed, S_OK) << "the library's TransposeMatrix";
        EXPECT_EQ(libraryPrinted, S_OK) << "the library's PrintMatrix";
        EXPECT_EQ(libraryReturned, sent);
    }
}

TEST(Apartments, ErrorsReachTheCallerWithTheirNumberAndTexts) {
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    const IID iid = __uuidof(_clsVxNumsMatrixA);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        HRESULT earlyStatus = S_OK, supports = E_FAIL;
        CallResult late;
        const CrossCall call =
            callAcross(placement, {{matrix.Get(), iid}, {matrix.Get(), IID_IDispatch}}, [&](auto& routes) {
                auto early = fetch<_clsVxNumsMatrixA>(*routes[0]);
                auto byName = fetch<IDispatch>(*routes[1]);
                if (!early || !byName) return;
                SAFEARRAY* values = SafeArrayCreateVector(VT_VARIANT, 0, 0);
                HostRecord result;
                earlyStatus = early->CreateMatrix(0, 5, &values, result.get());
                EXPECT_EQ(SafeArrayDestroy(values), S_OK) << "destroying the values after the call";
                ComPtr<ISupportErrorInfo> support;
                if (SUCCEEDED(early.As(&support))) supports = support->InterfaceSupportsErrorInfo(iid);
                late = callByName(byName.Get(), L"CreateMatrix", {Variant::ofI2(0), Variant::ofI2(5)}, DISPATCH_METHOD);
            });
        expectServedHere(call, {{iid, slot(0), 1}, {IID_IDispatch, kInvoke, 1}});
        EXPECT_EQ(earlyStatus, kMatrixError);
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
        HRESULT witnessStatus = S_OK, witnessInfo = E_FAIL, libraryStatus = S_OK, libraryInfo = E_FAIL;
        std::wstring source, description;
        const CrossCall call = callAcross(
            placement, {{static_cast<_clsVxNumsMatrixA*>(witness.Get()), iid}, {matrix.Get(), iid}}, [&](auto& routes) {
                auto witnessProxy = fetch<_clsVxNumsMatrixA>(*routes[0]);
                auto libraryProxy = fetch<_clsVxNumsMatrixA>(*routes[1]);
                if (!witnessProxy || !libraryProxy) return;
                HostRecord square(2, 2, {1, 0, 0, 1});
                double determinant = 0;
                EXPECT_EQ(SetErrorInfo(0, nullptr), S_OK) << "clearing the calling thread's error information";
                witnessStatus = witnessProxy->Determinant(square.get(), &determinant);
                ComPtr<IErrorInfo> error;
                witnessInfo = GetErrorInfo(0, &error);
                error.Reset();
                HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
                libraryStatus = libraryProxy->Determinant(wide.get(), &determinant);
                libraryInfo = GetErrorInfo(0, &error);
                if (libraryInfo == S_OK) {
                    Bstr text;
                    EXPECT_EQ(error->GetSource(text.out()), S_OK) << "reading the error's source";
                    source = text.text();
                    EXPECT_EQ(error->GetDescription(text.out()), S_OK) << "reading the error's description";
                    description = text.text();
                }
            });
        ASSERT_TRUE(call.finished);
        ASSERT_EQ(witnessStatus, MarshalerWitness::kFailure);
        if (witnessInfo != S_OK)
            GTEST_SKIP() << "Wine 8's marshaler does not carry error information to the calling thread: a test "
                            "object that sets it and fails arrives with its status and no error information";
        EXPECT_EQ(libraryStatus, kMatrixError);
        ASSERT_EQ(libraryInfo, S_OK);
        EXPECT_EQ(source, L"ZizivaDav - Determinant");
        EXPECT_EQ(description, L"Cannot calculate Determinant of non-square matrix!");
    }
}

namespace {

// The numbers of a call's record result; none when it has no record.
std::vector<double> resultNumbers(const CallResult& result) {
    if (result.value.type() != VT_RECORD || !result.value.get()->pvRecord) return {};
    return recordNumbers(*static_cast<const Matrix*>(result.value.get()->pvRecord));
}

// Makes `call` through a proxy of `matrix` from each placement: it must be
// served on this thread, succeed and give the record the direct call gave.
void expectRecordResultAcross(IDispatch* matrix, const std::function<CallResult(IDispatch*)>& call) {
    CallResult direct = call(matrix);
    ASSERT_EQ(direct.value.type(), VT_RECORD);
    const std::vector<double> expected = resultNumbers(direct);
    for (const Placement& placement : kPlacements) {
        SCOPED_TRACE(label(placement));
        HRESULT status = E_FAIL;
        std::vector<double> across;
        const CrossCall crossing = callAcross(placement, {{matrix, IID_IDispatch}}, [&](auto& routes) {
            auto proxy = fetch<IDispatch>(*routes[0]);
            if (!proxy) return;
            CallResult result = call(proxy.Get());
            status = result.status;
            across = resultNumbers(result);
        });
        expectServedHere(crossing, {{IID_IDispatch, kInvoke, 1}});
        EXPECT_EQ(status, S_OK);
        EXPECT_EQ(across, expected);
    }
}

} // namespace

// Calls by name with a record argument, by reference as hosts pass it: the
// VARIANT must reach the object with the record and its description.
TEST(Apartments, RecordArgumentsByNameCrossTheBoundary) {
    ComPtr<IRecordInfo> info = platformRecordInfo();
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
    const WireRoundTrip wire = recordVariantRoundTrip(VT_RECORD | VT_BYREF, wide.get(), info.Get());
    if (!wire.keepsRecord())
        GTEST_SKIP() << "Wine 8's VARIANT wire format drops a record passed by reference: " << wire.describe()
                     << "; such a call across apartments is not made";
    expectRecordResultAcross(matrix.Get(), [&](IDispatch* target) {
        // Each caller passes a record of its own.
        HostRecord callerWide(2, 3, {1, 2, 3, 4, 5, 6});
        return callByName(target, L"TransposeMatrix", {recordReference(callerWide, info.Get())}, DISPATCH_METHOD);
    });
}

// Calls by name whose result is a record: the VARIANT must come back with
// the record and its description.
TEST(Apartments, RecordResultsByNameCrossTheBoundary) {
    ComPtr<IRecordInfo> info = platformRecordInfo();
    ComPtr<IDispatch> matrix = create(L"Numoria10.clsVxNumsMatrixA");
    HostRecord wide(2, 3, {1, 2, 3, 4, 5, 6});
    const WireRoundTrip wire = recordVariantRoundTrip(VT_RECORD, wide.get(), info.Get());
    if (!wire.keepsRecord())
        GTEST_SKIP() << "Wine 8's VARIANT wire format drops a record result: " << wire.describe()
                     << "; such a call across apartments is not made";
    const std::vector<Variant> arguments = {Variant::ofI2(2),   Variant::ofI2(2),      Variant::ofI2(1),
                                            Variant::ofR8(2.5), Variant::ofText(L"3"), Variant::ofBool(true)};
    expectRecordResultAcross(matrix.Get(), [&](IDispatch* target) {
        return callByName(target, L"CreateMatrix", arguments, DISPATCH_METHOD);
    });
}
