#include "cad/win/com_dispatch.h"

#include <gtest/gtest.h>

#include <memory>

#include "cad/win/com_error.h"
#include "fake_com_object.h"

namespace korvena {
namespace {

using Microsoft::WRL::ComPtr;
using testing::FakeComObject;
using testing::FakeEnumerator;
using testing::PortableObject;

const ClientObjectMapping kClient;

HRESULT Answer(VARIANT* result, const Variant& value) {
    if (result != nullptr) *result = ToComVariant(value, kClient).Release();
    return S_OK;
}

HRESULT Raise(EXCEPINFO* exception, WORD code, SCODE scode, const wchar_t* description) {
    exception->wCode = code;
    exception->scode = scode;
    exception->bstrSource = SysAllocString(L"FakeCad");
    exception->bstrDescription = description ? SysAllocString(description) : nullptr;
    return DISP_E_EXCEPTION;
}

AutomationError ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AutomationError& error) {
        return error;
    }
    ADD_FAILURE() << "no AutomationError";
    return AutomationError(0, L"");
}

class ComDispatchTest : public ::testing::Test {
protected:
    ComPtr<FakeComObject> server_ = FakeComObject::Create();
    std::shared_ptr<ComDispatch> client_ = std::make_shared<ComDispatch>(server_);
};

TEST_F(ComDispatchTest, ResolvesEachNameOnceWhateverItsCase) {
    WORD seenFlags = 0;
    server_->On(L"Caption", [&](WORD flags, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        seenFlags = flags;
        return Answer(result, L"AutoCAD 2000 - [图形1.dwg]");
    });
    EXPECT_EQ(client_->Get(L"Caption"), Variant{L"AutoCAD 2000 - [图形1.dwg]"});
    EXPECT_EQ(client_->Get(L"CAPTION"), Variant{L"AutoCAD 2000 - [图形1.dwg]"});
    EXPECT_EQ(client_->Get(L"caption"), Variant{L"AutoCAD 2000 - [图形1.dwg]"});
    EXPECT_EQ(server_->NameLookups(), 1);
    EXPECT_EQ(seenFlags, DISPATCH_PROPERTYGET);
}

TEST_F(ComDispatchTest, UnknownMemberIs438) {
    EXPECT_EQ(ErrorOf([&] { client_->Get(L"Coordinates"); }).Number(), 438);
    EXPECT_EQ(ErrorOf([&] { client_->Put(L"Visible", true); }).Number(), 438);
    EXPECT_EQ(ErrorOf([&] { client_->Call(L"AppendItems"); }).Number(), 438);
}

TEST_F(ComDispatchTest, PutPassesTheValueAsTheNamedPropertyPutArgument) {
    bool checked = false;
    server_->On(L"Visible", [&](WORD flags, const DISPPARAMS& params, VARIANT*, EXCEPINFO*) {
        EXPECT_EQ(flags, DISPATCH_PROPERTYPUT);
        EXPECT_EQ(params.cArgs, 1u);
        EXPECT_EQ(params.cNamedArgs, 1u);
        EXPECT_EQ(params.rgdispidNamedArgs[0], DISPID_PROPERTYPUT);
        EXPECT_EQ(params.rgvarg[0].vt, VT_BOOL);
        EXPECT_EQ(params.rgvarg[0].boolVal, VARIANT_TRUE);
        checked = true;
        return S_OK;
    });
    client_->Put(L"Visible", true);
    EXPECT_TRUE(checked);
}

TEST_F(ComDispatchTest, CallPassesArgumentsLastFirstAndReturnsTheResult) {
    server_->On(L"AddLine", [&](WORD flags, const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
        EXPECT_EQ(flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
        EXPECT_EQ(params.cNamedArgs, 0u);
        if (params.cArgs != 2) return DISP_E_BADPARAMCOUNT;
        const Variant start = FromComVariant(params.rgvarg[1], kClient);
        const Variant end = FromComVariant(params.rgvarg[0], kClient);
        return Answer(result, ToDoubles(end, 3)[0] - ToDoubles(start, 3)[0]);
    });
    const Variant length =
        client_->Call(L"AddLine", {std::vector<double>{1, 0, 0}, std::vector<double>{5, 0, 0}});
    EXPECT_EQ(length, Variant{4.0});
}

TEST_F(ComDispatchTest, IndexedGetAnswersArrays) {
    server_->On(L"Coordinate", [&](WORD, const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
        if (params.cArgs != 1 || params.rgvarg[0].vt != VT_I4) return DISP_E_TYPEMISMATCH;
        return Answer(result, std::vector<double>{10.0 + params.rgvarg[0].lVal, 20.0});
    });
    EXPECT_EQ(client_->Get(L"Coordinate", {std::int32_t{0}}), (Variant{std::vector<double>{10.0, 20.0}}));
    EXPECT_EQ(ErrorOf([&] { client_->Get(L"Coordinate", {L"0"}); }).Number(), 13);
}

TEST_F(ComDispatchTest, ServerExceptionsCarryTheServersNumberAndText) {
    server_->On(L"Control", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        return Raise(e, 0, static_cast<SCODE>(0x800A0005), L"无效的图层名");
    });
    server_->On(L"Coded", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        return Raise(e, 1001, 0, L"选择集已存在");
    });
    server_->On(L"Plain", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        return Raise(e, 0, static_cast<SCODE>(0x80040201), L"Duplicate record name");
    });
    server_->On(L"Silent", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        return Raise(e, 0, static_cast<SCODE>(0x800A01A8), nullptr);
    });

    const AutomationError control = ErrorOf([&] { client_->Put(L"Control", std::int16_t{256}); });
    EXPECT_EQ(control.Number(), 5);
    EXPECT_EQ(control.Description(), L"无效的图层名");
    const AutomationError coded = ErrorOf([&] { client_->Call(L"Coded", {L".7055475"}); });
    EXPECT_EQ(coded.Number(), 1001);
    EXPECT_EQ(coded.Description(), L"选择集已存在");
    const AutomationError plain = ErrorOf([&] { client_->Get(L"Plain"); });
    EXPECT_EQ(plain.Number(), static_cast<std::int32_t>(0x80040201));
    EXPECT_EQ(plain.Description(), L"Duplicate record name");
    const AutomationError silent = ErrorOf([&] { client_->Get(L"Silent"); });
    EXPECT_EQ(silent.Number(), 424);
    EXPECT_FALSE(silent.Description().empty());
}

HRESULT STDMETHODCALLTYPE FillInLater(EXCEPINFO* exception) {
    exception->scode = static_cast<SCODE>(0x800A000D);
    exception->bstrDescription = SysAllocString(L"延迟填写的说明");
    return S_OK;
}

TEST_F(ComDispatchTest, DeferredExceptionTextIsFilledIn) {
    server_->On(L"Elevation", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO* e) {
        e->pfnDeferredFillIn = FillInLater;
        return DISP_E_EXCEPTION;
    });
    const AutomationError error = ErrorOf([&] { client_->Put(L"Elevation", 12.5); });
    EXPECT_EQ(error.Number(), 13);
    EXPECT_EQ(error.Description(), L"延迟填写的说明");
}

TEST_F(ComDispatchTest, OtherFailuresKeepTheirHresult) {
    server_->On(L"Count", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return RPC_E_DISCONNECTED; });
    server_->On(L"Delete", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) {
        return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    });
    server_->On(L"Color", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return DISP_E_TYPEMISMATCH; });

    const AutomationError disconnected = ErrorOf([&] { client_->Get(L"Count"); });
    EXPECT_EQ(disconnected.Number(), static_cast<std::int32_t>(0x80010108));
    EXPECT_FALSE(disconnected.Description().empty());
    const AutomationError gone = ErrorOf([&] { client_->Call(L"Delete"); });
    EXPECT_EQ(gone.Number(), static_cast<std::int32_t>(0x800706BA));
    EXPECT_FALSE(gone.Description().empty());
    EXPECT_EQ(ErrorOf([&] { client_->Put(L"Color", std::int16_t{3}); }).Number(), 13);
}

TEST_F(ComDispatchTest, StaleDispidIsResolvedAgainOnce) {
    server_->On(L"EntityType", [](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return Answer(result, std::int32_t{24});
    });
    EXPECT_EQ(client_->Get(L"EntityType"), Variant{std::int32_t{24}});
    server_->Renumber();
    EXPECT_EQ(client_->Get(L"entitytype"), Variant{std::int32_t{24}});
    EXPECT_EQ(server_->NameLookups(), 2);
    EXPECT_EQ(client_->Get(L"EntityType"), Variant{std::int32_t{24}});
    EXPECT_EQ(server_->NameLookups(), 2);
}

TEST_F(ComDispatchTest, MemberThatKeepsAnsweringNotFoundIs438) {
    server_->On(L"Groups",
                [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return DISP_E_MEMBERNOTFOUND; });
    EXPECT_EQ(ErrorOf([&] { client_->Get(L"Groups"); }).Number(), 438);  // fresh DISPID: no second try
    EXPECT_EQ(server_->Invocations(), 1);
    EXPECT_EQ(ErrorOf([&] { client_->Get(L"Groups"); }).Number(), 438);  // kept DISPID: one second try
    EXPECT_EQ(server_->Invocations(), 3);
    EXPECT_EQ(server_->NameLookups(), 2);
}

TEST_F(ComDispatchTest, WrongResultTypeIsTypeMismatchAndLeaksNothing) {
    server_->On(L"Caption", [](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_DATE;
        result->date = 36526.0;
        return S_OK;
    });
    ComPtr<FakeComObject> other = FakeComObject::Create();
    server_->On(L"Layers", [&](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_UNKNOWN;
        result->punkVal = other.Get();
        other->AddRef();
        return S_OK;
    });
    EXPECT_EQ(ErrorOf([&] { client_->Get(L"Caption"); }).Number(), 13);
    EXPECT_EQ(ErrorOf([&] { client_->Get(L"Layers"); }).Number(), 13);
    EXPECT_EQ(other->References(), 1u);
}

TEST_F(ComDispatchTest, ObjectsComeAsComDispatchAndGoBackAsTheSamePointer) {
    ComPtr<FakeComObject> entity = FakeComObject::Create();
    IDispatch* received = nullptr;
    server_->On(L"Item", [&](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return Answer(result, DispatchPtr(std::make_shared<ComDispatch>(entity)));
    });
    server_->On(L"AppendItems", [&](WORD, const DISPPARAMS& params, VARIANT*, EXCEPINFO*) {
        const Variant items = FromComVariant(params.rgvarg[0], kClient);
        received = dynamic_cast<ComDispatch&>(*items.As<std::vector<DispatchPtr>>().at(0)).Object();
        return S_OK;
    });
    {
        const DispatchPtr item = ToObject(client_->Get(L"Item"));
        client_->Call(L"AppendItems", {std::vector<DispatchPtr>{item}});
    }
    EXPECT_EQ(received, entity.Get());
    EXPECT_EQ(entity->References(), 1u);
    EXPECT_EQ(server_->References(), 2u);  // server_ and client_
}

TEST_F(ComDispatchTest, ArgumentsAlreadyMadeAreLetGoOfWhenALaterOneCannotGoAcross) {
    ComPtr<FakeComObject> entity = FakeComObject::Create();
    bool called = false;
    server_->On(L"Item", [&](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return Answer(result, DispatchPtr(std::make_shared<ComDispatch>(entity)));
    });
    server_->On(L"Move", [&](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) {
        called = true;
        return S_OK;
    });
    {
        const DispatchPtr item = ToObject(client_->Get(L"Item"));
        EXPECT_EQ(ErrorOf([&] {
                      client_->Call(L"Move", {item, DispatchPtr(std::make_shared<PortableObject>())});
                  }).Number(),
                  13);
    }
    EXPECT_FALSE(called);
    EXPECT_EQ(entity->References(), 1u);
}

// An entity of the given kind with an Elevation, as a drawing hands it out.
ComPtr<FakeComObject> FakeEntity(std::int32_t kind, double elevation) {
    ComPtr<FakeComObject> entity = FakeComObject::Create();
    entity->On(L"EntityType",
               [kind](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) { return Answer(result, kind); });
    entity->On(L"Elevation", [elevation](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return Answer(result, elevation);
    });
    return entity;
}

TEST_F(ComDispatchTest, EntitiesOfOneKindShareTheirDispidsAfterTheirEntityType) {
    std::vector<ComPtr<FakeComObject>> entities{FakeEntity(24, 1), FakeEntity(24, 2), FakeEntity(8, 3)};
    server_->On(L"Item", [&](WORD, const DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
        return Answer(result, DispatchPtr(std::make_shared<ComDispatch>(entities.at(params.rgvarg[0].lVal))));
    });
    std::vector<double> elevations;
    for (std::int32_t i = 0; i < 3; ++i) {
        const DispatchPtr entity = ToObject(client_->Get(L"Item", {i}));
        entity->Get(L"EntityType");
        elevations.push_back(ToDouble(entity->Get(L"Elevation")));
    }
    EXPECT_EQ(elevations, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(entities[0]->NameLookups(), 2);
    EXPECT_EQ(entities[1]->NameLookups(), 1);  // EntityType only: Elevation's DISPID is that of kind 24
    EXPECT_EQ(entities[2]->NameLookups(), 2);  // another kind resolves for itself

    // A DISPID of the kind that this entity does not know is resolved again, for it and the kind.
    entities.push_back(FakeEntity(24, 4));
    entities.back()->Renumber();
    entities.push_back(FakeEntity(24, 5));
    entities.back()->Renumber();
    for (std::int32_t i = 3; i < 5; ++i) {
        const DispatchPtr entity = ToObject(client_->Get(L"Item", {i}));
        entity->Get(L"EntityType");
        elevations.push_back(ToDouble(entity->Get(L"Elevation")));
    }
    EXPECT_EQ(elevations.back(), 5);
    EXPECT_EQ(entities[3]->NameLookups(), 2);
    EXPECT_EQ(entities[4]->NameLookups(), 1);

    // Objects that never said their kind resolve every name for themselves.
    const DispatchPtr unnamed = ToObject(client_->Get(L"Item", {std::int32_t{1}}));
    unnamed->Get(L"Elevation");
    EXPECT_EQ(entities[1]->NameLookups(), 2);
}

TEST_F(ComDispatchTest, ObjectsFromOneMemberOfOneKindShareTheirDispids) {
    // An application whose ActiveDocument is another document object at every call.
    std::vector<ComPtr<FakeComObject>> documents;
    for (int i = 0; i < 3; ++i) {
        documents.push_back(FakeComObject::Create());
        documents.back()->On(L"Name", [i](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
            return Answer(result, L"Drawing" + std::to_wstring(i) + L".dwg");
        });
    }
    documents[2]->Renumber();
    std::size_t next = 0;
    server_->On(L"ActiveDocument", [&](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return Answer(result, DispatchPtr(std::make_shared<ComDispatch>(documents.at(next++))));
    });
    const auto application =
        std::make_shared<ComDispatch>(server_, std::make_shared<ComConnection>(), L"Application");
    std::vector<std::wstring> names;
    for (int i = 0; i < 3; ++i)
        names.push_back(ToText(ToObject(application->Get(L"ActiveDocument"))->Get(L"Name")));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Drawing0.dwg", L"Drawing1.dwg", L"Drawing2.dwg"}));
    EXPECT_EQ(documents[0]->NameLookups(), 1);
    EXPECT_EQ(documents[1]->NameLookups(), 0);
    EXPECT_EQ(documents[2]->NameLookups(), 1);  // a kept DISPID it did not know: resolved again

    // Without a kind, the same member's objects resolve for themselves.
    next = 0;
    for (int i = 0; i < 2; ++i) client_->Get(L"ActiveDocument");
    const auto before = documents[1]->NameLookups();
    ToObject(client_->Get(L"ActiveDocument"))->Get(L"Name");
    EXPECT_EQ(documents[2]->NameLookups(), 2);
    EXPECT_EQ(documents[1]->NameLookups(), before);
}

std::vector<VARIANT> Numbers(int count) {
    std::vector<VARIANT> values(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        VariantInit(&values[i]);
        values[i].vt = VT_I4;
        values[i].lVal = i;
    }
    return values;
}

class EnumerateTest : public ComDispatchTest {
protected:
    void Serve(const ComPtr<FakeEnumerator>& enumerator) {
        server_->OnNewEnum([enumerator](WORD flags, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
            EXPECT_EQ(flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
            result->vt = VT_UNKNOWN;
            result->punkVal = enumerator.Get();
            enumerator->AddRef();
            return S_OK;
        });
    }
};

TEST_F(EnumerateTest, YieldsEveryItemInOrderAcrossBatches) {
    const ComPtr<FakeEnumerator> enumerator = FakeEnumerator::Create(Numbers(150));
    Serve(enumerator);
    const std::vector<Variant> items = client_->Enumerate();
    ASSERT_EQ(items.size(), 150u);
    for (int i = 0; i < 150; ++i) EXPECT_EQ(items[i], Variant{std::int32_t{i}});
    EXPECT_EQ(enumerator->nextCalls, 3);
}

TEST_F(EnumerateTest, EmptyAndNeverEndingEnumeratorsBothStop) {
    const ComPtr<FakeEnumerator> empty = FakeEnumerator::Create({});
    Serve(empty);
    EXPECT_TRUE(client_->Enumerate().empty());

    const ComPtr<FakeEnumerator> stuck = FakeEnumerator::Create({});
    stuck->neverEnds = true;
    Serve(stuck);
    EXPECT_TRUE(client_->Enumerate().empty());
    EXPECT_EQ(stuck->nextCalls, 1);
}

TEST_F(EnumerateTest, FailuresBecomeAutomationErrors) {
    EXPECT_EQ(ErrorOf([&] { client_->Enumerate(); }).Number(), 438);  // not a collection

    server_->OnNewEnum(
        [](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) { return Answer(result, 3.0); });
    EXPECT_EQ(ErrorOf([&] { client_->Enumerate(); }).Number(), 13);

    const ComPtr<FakeEnumerator> dying = FakeEnumerator::Create(Numbers(3));
    dying->failure = RPC_E_DISCONNECTED;
    Serve(dying);
    EXPECT_EQ(ErrorOf([&] { client_->Enumerate(); }).Number(), static_cast<std::int32_t>(0x80010108));
}

TEST_F(EnumerateTest, EachItemIsLetGoOfWhenItsVisitEnds) {
    std::vector<ComPtr<FakeComObject>> entities;
    std::vector<VARIANT> values;
    for (int i = 0; i < 70; ++i) {
        entities.push_back(FakeComObject::Create());
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_DISPATCH;
        value.pdispVal = entities.back().Get();
        value.pdispVal->AddRef();
        values.push_back(value);
    }
    Serve(FakeEnumerator::Create(std::move(values)));
    std::vector<ULONG> earlierHeld;  // references to the items before this one, at this one's visit
    int visited = 0;
    client_->ForEach([&](Variant item) {
        EXPECT_EQ(entities[visited]->References(), 3u);  // ours, the enumerator's copy and the item
        ULONG held = 0;
        for (int i = 0; i < visited; ++i) held += entities[i]->References();
        earlierHeld.push_back(held);
        ToObject(item);
        ++visited;
    });
    EXPECT_EQ(visited, 70);
    for (int i = 0; i < 70; ++i) EXPECT_EQ(earlierHeld[i], static_cast<ULONG>(2 * i)) << i;
}

TEST_F(EnumerateTest, ItemsShareTheirEntitysMembersAndThenThoseOfTheirEntityType) {
    std::vector<ComPtr<FakeComObject>> entities{FakeEntity(24, 1), FakeEntity(8, 2), FakeEntity(24, 3),
                                                FakeEntity(8, 4)};
    std::vector<VARIANT> values;
    for (const ComPtr<FakeComObject>& entity : entities) {
        values.push_back(ToComVariant(DispatchPtr(std::make_shared<ComDispatch>(entity)), kClient).Release());
    }
    Serve(FakeEnumerator::Create(std::move(values)));
    const auto set = std::make_shared<ComDispatch>(server_, std::make_shared<ComConnection>(), L"Set");
    std::vector<double> elevations;
    set->ForEach([&](Variant item) {
        const DispatchPtr entity = ToObject(item);
        entity->Get(L"EntityType");
        elevations.push_back(ToDouble(entity->Get(L"Elevation")));
    });
    EXPECT_EQ(elevations, (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(entities[0]->NameLookups(), 2);  // EntityType for every item, Elevation for kind 24
    EXPECT_EQ(entities[1]->NameLookups(), 1);  // Elevation for kind 8
    EXPECT_EQ(entities[2]->NameLookups(), 0);
    EXPECT_EQ(entities[3]->NameLookups(), 0);
}

// An entity of a class: first the members every entity has, then the class's own in the class's order,
// so that a name has another DISPID in another class, as in the CAD's type library.
ComPtr<FakeComObject> FakeEntityOfClass(const wchar_t* className, Variant code,
                                        const std::vector<std::pair<const wchar_t*, Variant>>& own) {
    ComPtr<FakeComObject> entity = FakeComObject::Create();
    const auto answering = [](Variant value) {
        return
            [value](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) { return Answer(result, value); };
    };
    entity->On(L"EntityType", answering(code));
    entity->On(L"ObjectName", answering(className));
    for (const auto& [name, value] : own) entity->On(name, answering(value));
    // A copy of the entity: of its class, whatever the class.
    entity->On(L"Copy", [=](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        return Answer(result,
                      DispatchPtr(std::make_shared<ComDispatch>(FakeEntityOfClass(className, code, own))));
    });
    return entity;
}

TEST_F(EnumerateTest, ItemsOfDifferentClassesNeverGetEachOthersDispids) {
    using Doubles = std::vector<double>;
    // A circle's Center is its first member of its own; an arc's comes after its StartPoint.
    const auto circle = [](double x) {
        return FakeEntityOfClass(L"AcDbCircle", 8.0, {{L"Center", Doubles{x, 0, 0}}});
    };
    const auto arc = [](double x) {
        return FakeEntityOfClass(L"AcDbArc", 4.0,
                                 {{L"StartPoint", Doubles{-1, -1, -1}}, {L"Center", Doubles{x, 0, 0}}});
    };
    // Said by their code (a whole number in a double, as the commands read it), by their class name, or
    // not at all.
    for (const wchar_t* identity : {L"EntityType", L"ObjectName", L""}) {
        SCOPED_TRACE(std::wstring(identity).empty() ? "unidentified" : "identified");
        std::vector<ComPtr<FakeComObject>> entities{circle(1), arc(2), circle(3), arc(4)};
        std::vector<VARIANT> values;
        for (const ComPtr<FakeComObject>& entity : entities) {
            values.push_back(
                ToComVariant(DispatchPtr(std::make_shared<ComDispatch>(entity)), kClient).Release());
        }
        Serve(FakeEnumerator::Create(std::move(values)));
        const auto set = std::make_shared<ComDispatch>(server_, std::make_shared<ComConnection>(), L"Set");
        std::vector<double> centers, copiedCenters;
        set->ForEach([&](Variant item) {
            const DispatchPtr entity = ToObject(item);
            const DispatchPtr copy = ToObject(entity->Call(L"Copy"));
            copiedCenters.push_back(ToDoubles(copy->Get(L"Center"), 3)[0]);  // before its original has said
            if (*identity != L'\0') entity->Get(identity);
            centers.push_back(ToDoubles(entity->Get(L"Center"), 3)[0]);
        });
        EXPECT_EQ(centers, (std::vector<double>{1, 2, 3, 4}));
        EXPECT_EQ(copiedCenters, centers);
        // Every item resolves Copy for itself; the first of each class its Center, the first item the
        // identity.
        const std::vector<int> expected =
            *identity != L'\0' ? std::vector<int>{3, 2, 1, 1} : std::vector<int>{2, 2, 2, 2};
        for (std::size_t i = 0; i < entities.size(); ++i)
            EXPECT_EQ(entities[i]->NameLookups(), expected[i]) << i;
    }
}

// A waiting that counts its pauses and answers the question as told.
class CountingWait final : public BusyCadWait {
public:
    std::chrono::milliseconds Now() override { return now; }
    void Pause(std::chrono::milliseconds pause) override {
        ++pauses;
        now += pause;
    }
    bool AskToRetry() override {
        ++questions;
        return retry;
    }
    std::chrono::milliseconds now{0};
    int pauses = 0;
    int questions = 0;
    bool retry = false;
};

class BusyServerTest : public ::testing::Test {
protected:
    std::shared_ptr<CountingWait> wait_ = std::make_shared<CountingWait>();
    ComPtr<FakeComObject> server_ = FakeComObject::Create();
    std::shared_ptr<ComDispatch> client_ = std::make_shared<ComDispatch>(server_, Connection());

    std::shared_ptr<ComConnection> Connection() {
        auto connection = std::make_shared<ComConnection>();
        connection->busyWait = wait_;
        return connection;
    }
};

TEST_F(BusyServerTest, RefusedCallsAreMadeAgainUntilTakenAndWriteOnce) {
    int refusals = 3;
    int puts = 0;
    server_->On(L"Elevation", [&](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) {
        if (refusals-- > 0) return RPC_E_CALL_REJECTED;
        ++puts;
        return S_OK;
    });
    server_->RefuseLookups(2);
    client_->Put(L"Elevation", 125.5);
    EXPECT_EQ(puts, 1);
    EXPECT_EQ(server_->NameLookups(), 3);
    EXPECT_EQ(server_->Invocations(), 4);
    EXPECT_EQ(wait_->pauses, 5);
    EXPECT_EQ(wait_->questions, 0);

    const ComPtr<FakeEnumerator> enumerator = FakeEnumerator::Create(Numbers(3));
    enumerator->refusals = 2;
    server_->OnNewEnum([&](WORD, const DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
        result->vt = VT_UNKNOWN;
        result->punkVal = enumerator.Get();
        enumerator->AddRef();
        return S_OK;
    });
    EXPECT_EQ(client_->Enumerate().size(), 3u);
    EXPECT_EQ(enumerator->nextCalls, 3);
}

TEST_F(BusyServerTest, GivingUpEndsWithCancelAndAGoneServerIsNotWaitedFor) {
    server_->On(L"Count", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return RPC_E_CALL_REJECTED; });
    EXPECT_THROW(client_->Get(L"Count"), CadBusyCancelled);
    EXPECT_EQ(wait_->questions, 1);

    const std::vector<std::pair<std::wstring, HRESULT>> gone{
        {L"Disconnected", RPC_E_DISCONNECTED},
        {L"Unavailable", HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)},
        {L"NotConnected", CO_E_OBJNOTCONNECTED}};
    for (const auto& [name, hr] : gone) {
        server_->On(name, [hr](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return hr; });
    }
    const int pausesBefore = wait_->pauses;
    for (const auto& [name, hr] : gone) {
        EXPECT_EQ(ErrorOf([&] { client_->Call(name); }).Number(), static_cast<std::int32_t>(hr)) << hr;
    }
    EXPECT_EQ(wait_->pauses, pausesBefore);
}

TEST_F(BusyServerTest, WithoutAWayToWaitARefusalIsAnError) {
    server_->On(L"Count", [](WORD, const DISPPARAMS&, VARIANT*, EXCEPINFO*) { return RPC_E_CALL_REJECTED; });
    const auto plain = std::make_shared<ComDispatch>(server_);
    EXPECT_EQ(ErrorOf([&] { plain->Get(L"Count"); }).Number(),
              static_cast<std::int32_t>(RPC_E_CALL_REJECTED));
    EXPECT_EQ(server_->Invocations(), 1);
}

TEST(ComError, SystemTextOrFallbackWithTheNumber) {
    EXPECT_EQ(SystemErrorText(static_cast<HRESULT>(0x8004FFFF)), L"自动化错误 0x8004FFFF");
    const std::wstring text = SystemErrorText(E_ACCESSDENIED);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
}

}  // namespace
}  // namespace korvena
