// The served objects in process: what Invoke and GetIDsOfNames answer, object identity and mapping, the
// enumerator, and the busy guard. The same objects across a process boundary: cadsim_server_test.cpp.

#include "cadsim/server/served_object.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <wrl/client.h>

#include "cad/win/bstr.h"
#include "cad/win/com_apartment.h"
#include "cad/win/scoped_variant.h"
#include "cadsim/model/member_names.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/model/simulation.h"
#include "cadsim/server/busy_message_filter.h"
#include "cadsim/server/member_ids.h"

namespace korvena::cadsim {
namespace {

using Microsoft::WRL::ComPtr;

SimulationSetup TwoCircles() {
    SimulationSetup setup;
    for (int id : {1, 2}) {
        Entity circle;
        circle.id = id;
        circle.kind = EntityKind::kCircle;
        circle.radius = id;
        setup.drawing.Add(circle);
    }
    setup.faults.refusedColors = {13};
    return setup;
}

class ServedObjectTest : public ::testing::Test {
protected:
    DISPID IdOf(IDispatch* object, const wchar_t* name, HRESULT* outcome = nullptr) {
        std::wstring copy(name);
        LPOLESTR names[] = {copy.data()};
        DISPID id = 0;
        const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (outcome != nullptr) *outcome = hr;
        return id;
    }

    // Invokes with the arguments in call order; the EXCEPINFO's BSTRs are freed here.
    HRESULT Invoke(IDispatch* object, DISPID id, WORD flags, std::vector<ScopedVariant> args,
                   VARIANT* result = nullptr, bool namedPut = true) {
        std::vector<VARIANT> reversed;
        for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->Get());
        DISPID putId = DISPID_PROPERTYPUT;
        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0 && namedPut;
        DISPPARAMS params{reversed.data(), put ? &putId : nullptr, static_cast<UINT>(reversed.size()),
                          put ? 1u : 0u};
        EXCEPINFO info{};
        const HRESULT hr =
            object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, nullptr);
        scode = info.scode;
        source = Bstr::Attach(info.bstrSource).Text();
        description = Bstr::Attach(info.bstrDescription).Text();
        const Bstr helpFile = Bstr::Attach(info.bstrHelpFile);  // not read, only freed
        return hr;
    }

    static ScopedVariant Short(short value) {
        ScopedVariant v;
        VARIANT* slot = v.Receive();
        slot->vt = VT_I2;
        slot->iVal = value;
        return v;
    }

    ComPtr<IDispatch> Entity(int id) { return objects->ToCom(simulation.EntityObjectOf(id)); }

    ComApartment apartment;
    Simulation simulation{TwoCircles()};
    std::shared_ptr<ServedObjects> objects = ServedObjects::Create();
    HRESULT scode = S_OK;
    std::wstring source;
    std::wstring description;
};

TEST_F(ServedObjectTest, OneServedObjectPerModelObjectWhileHeld) {
    ComPtr<IDispatch> first = Entity(1);
    EXPECT_EQ(Entity(1).Get(), first.Get());
    EXPECT_NE(Entity(2).Get(), first.Get());
    EXPECT_EQ(objects->FromCom(first.Get()), simulation.EntityObjectOf(1));
    first.Reset();
    EXPECT_EQ(objects->LiveCount(), 0u) << "released objects leave the table";
}

TEST_F(ServedObjectTest, ObjectsOfAnotherServerAreATypeMismatch) {
    const auto strangers = ServedObjects::Create();
    const ComPtr<IDispatch> foreign = strangers->ToCom(simulation.EntityObjectOf(1));
    try {
        objects->FromCom(foreign.Get());
        FAIL() << "mapped a foreign object";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.Number(), error_number::kTypeMismatch);
    }
}

TEST_F(ServedObjectTest, NamesResolveInAnyCaseToTheirClasssDispids) {
    const ComPtr<IDispatch> circle = Entity(1);
    const DISPID color = IdOf(circle.Get(), L"color");
    EXPECT_EQ(color, IdOf(Entity(2).Get(), L"COLOR"));
    EXPECT_EQ(color, 0x500) << "every entity's own members keep one number";
    HRESULT outcome = S_OK;
    EXPECT_EQ(IdOf(circle.Get(), L"Elevation", &outcome), DISPID_UNKNOWN) << "a circle has no elevation";
    EXPECT_EQ(outcome, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(IdOf(circle.Get(), L"_NewEnum", &outcome), DISPID_UNKNOWN) << "nor members";

    // A class's own members are numbered within the class, as in the CAD's type library.
    cadsim::Entity arc;
    arc.kind = EntityKind::kArc;
    Simulation arcs(SimulationSetup{.drawing = [&] {
        Drawing drawing;
        drawing.Add(arc);
        return drawing;
    }()});
    const ComPtr<IDispatch> anArc = objects->ToCom(arcs.EntityObjectOf(1));
    EXPECT_EQ(IdOf(circle.Get(), L"Center"), 1);
    EXPECT_EQ(IdOf(anArc.Get(), L"center"), 2);
    EXPECT_EQ(IdOf(anArc.Get(), L"StartPoint"), 1);

    MemberIds& ids = MemberIds::Instance();
    const int kArc = static_cast<int>(EntityKind::kArc), kCircle = static_cast<int>(EntityKind::kCircle);
    EXPECT_EQ(ids.NameOf(ObjectKind::kEntity, kArc, 1), L"StartPoint");
    EXPECT_EQ(ids.NameOf(ObjectKind::kEntity, kCircle, 1), L"Center");
    EXPECT_FALSE(ids.NameOf(ObjectKind::kEntity, static_cast<int>(EntityKind::kLine), 1).has_value());
    EXPECT_EQ(ids.IdOf(ObjectKind::kSelectionSet, 0, L"_newenum"), DISPID_NEWENUM);
    const std::int32_t invented = ids.IdOf(ObjectKind::kEntity, kCircle, L"SomethingNew");
    EXPECT_GE(invented, 0x10000);
    EXPECT_EQ(ids.IdOf(ObjectKind::kDocument, 0, L"SOMETHINGNEW"), invented);
    EXPECT_EQ(ids.NameOf(ObjectKind::kEntity, kArc, invented), L"SomethingNew");
    EXPECT_EQ(ids.NameOf(ObjectKind::kUtility, 0, static_cast<std::int32_t>(Member::kPrompt)), L"Prompt");
    EXPECT_FALSE(ids.NameOf(ObjectKind::kDocument, 0, 999).has_value());
}

TEST_F(ServedObjectTest, ModelFailuresBecomeExceptionsWithTheCallersNumber) {
    const ComPtr<IDispatch> circle = Entity(1);
    const DISPID color = IdOf(circle.Get(), L"Color");

    EXPECT_EQ(Invoke(circle.Get(), color, DISPATCH_PROPERTYPUT, {}), DISP_E_BADPARAMCOUNT);
    std::vector<ScopedVariant> refused;
    refused.push_back(Short(13));
    EXPECT_EQ(Invoke(circle.Get(), color, DISPATCH_PROPERTYPUT, std::move(refused)), DISP_E_EXCEPTION);
    EXPECT_EQ(scode, static_cast<HRESULT>(sim_error::kValueRefused)) << "the CAD's own code as it is";
    EXPECT_EQ(source, L"CadSim");
    EXPECT_FALSE(description.empty());

    // A member the CAD lacks by the time it is called: 438 as a control code. A number that is no
    // member of this class at all: not found, as the type library answers it.
    const DISPID center = IdOf(circle.Get(), L"Center");
    simulation.CurrentFaults().missingMembers.push_back({.member = L"Center"});
    EXPECT_EQ(Invoke(circle.Get(), center, DISPATCH_PROPERTYGET, {}), DISP_E_EXCEPTION);
    EXPECT_EQ(scode, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 438));
    EXPECT_EQ(Invoke(circle.Get(), 0xc, DISPATCH_PROPERTYGET, {}), DISP_E_MEMBERNOTFOUND)
        << "a polyline's Elevation";

    std::vector<ScopedVariant> extra;
    extra.push_back(Short(1));
    EXPECT_EQ(Invoke(circle.Get(), color, DISPATCH_PROPERTYGET, std::move(extra)), DISP_E_EXCEPTION);
    EXPECT_EQ(scode, MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, sim_error::kWrongArgumentCount));

    std::vector<ScopedVariant> unnamed;
    unnamed.push_back(Short(3));
    EXPECT_EQ(Invoke(circle.Get(), color, DISPATCH_PROPERTYPUT, std::move(unnamed), nullptr, false),
              DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(Invoke(circle.Get(), 12345, DISPATCH_PROPERTYGET, {}), DISP_E_MEMBERNOTFOUND);

    EXPECT_EQ(ExceptionCode(0), E_FAIL);
    EXPECT_EQ(ExceptionCode(-5), -5);
    EXPECT_EQ(ExceptionCode(70000), 70000);
}

TEST_F(ServedObjectTest, AcceptedValuesReachTheModel) {
    const ComPtr<IDispatch> circle = Entity(2);
    std::vector<ScopedVariant> green;
    green.push_back(Short(3));
    ASSERT_EQ(Invoke(circle.Get(), IdOf(circle.Get(), L"Color"), DISPATCH_PROPERTYPUT, std::move(green)),
              S_OK);
    EXPECT_EQ(simulation.CurrentDrawing().Find(2)->color, 3);
}

TEST_F(ServedObjectTest, TheEnumeratorStepsSkipsResetsAndClones) {
    const ComPtr<IDispatch> modelSpace = objects->ToCom(
        ToObject(simulation.Application()->Get(L"ActiveDocument"))->Get(L"ModelSpace").As<DispatchPtr>());
    ScopedVariant enumeratorValue;
    ASSERT_EQ(Invoke(modelSpace.Get(), DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {},
                     enumeratorValue.Receive()),
              S_OK);
    ASSERT_EQ(enumeratorValue.Get().vt, VT_UNKNOWN);
    ComPtr<IEnumVARIANT> items;
    ASSERT_EQ(enumeratorValue.Get().punkVal->QueryInterface(IID_PPV_ARGS(&items)), S_OK);

    VARIANT batch[3];
    ULONG fetched = 0;
    ASSERT_EQ(items->Next(3, batch, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(batch[0].vt, VT_DISPATCH);
    EXPECT_EQ(batch[0].pdispVal, Entity(1).Get());
    EXPECT_EQ(batch[1].pdispVal, Entity(2).Get());
    for (ULONG i = 0; i < fetched; ++i) VariantClear(&batch[i]);

    EXPECT_EQ(items->Next(1, batch, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(items->Reset(), S_OK);
    EXPECT_EQ(items->Skip(1), S_OK);
    ComPtr<IEnumVARIANT> copy;
    ASSERT_EQ(items->Clone(&copy), S_OK);
    EXPECT_EQ(items->Skip(5), S_FALSE);
    ASSERT_EQ(copy->Next(1, batch, &fetched), S_OK) << "the clone kept its own place";
    EXPECT_EQ(batch[0].pdispVal, Entity(2).Get());
    VariantClear(&batch[0]);
}

TEST(BusyMessageFilter, TurnsCallsAwayOnlyWhileBusy) {
    bool busy = true;
    const ComPtr<IMessageFilter> filter = NewBusyMessageFilter([&] { return busy; });
    EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
              static_cast<DWORD>(SERVERCALL_REJECTED));
    busy = false;
    EXPECT_EQ(filter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
              static_cast<DWORD>(SERVERCALL_ISHANDLED));
}

}  // namespace
}  // namespace korvena::cadsim
