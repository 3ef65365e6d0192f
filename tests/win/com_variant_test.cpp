#include "cad/win/com_variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "cad/win/bstr.h"
#include "cad/win/com_dispatch.h"
#include "cad/win/safe_array.h"
#include "fake_com_object.h"

namespace korvena {
namespace {

using Microsoft::WRL::ComPtr;
using testing::FakeComObject;
using testing::PortableObject;

const ClientObjectMapping kClient;

Variant RoundTrip(const Variant& value) {
    const ScopedVariant com = ToComVariant(value, kClient);
    return FromComVariant(com.Get(), kClient);
}

std::int32_t ErrorNumberOf(const VARIANT& value) {
    try {
        FromComVariant(value, kClient);
    } catch (const AutomationError& error) {
        return error.Number();
    }
    return 0;
}

// A SAFEARRAY of the given element type and bounds, owned by the VARIANT that holds it.
ScopedVariant ArrayVariant(VARTYPE elementType, LONG lowerBound, ULONG count, VARTYPE variantType) {
    SAFEARRAYBOUND bound{count, lowerBound};
    ScopedVariant result;
    VARIANT* slot = result.Receive();
    slot->parray = SafeArrayCreate(elementType, 1, &bound);
    slot->vt = variantType;
    return result;
}

// A one-dimensional array of `count` zeroed elements that does not say their type, as Wine's marshaller
// delivers an array of objects.
ScopedVariant TypelessArrayVariant(ULONG elementSize, ULONG count, VARTYPE variantType) {
    ScopedVariant result;
    VARIANT* slot = result.Receive();
    SafeArrayAllocDescriptor(1, &slot->parray);
    slot->parray->cbElements = elementSize;
    slot->parray->rgsabound[0] = {count, 0};
    SafeArrayAllocData(slot->parray);
    slot->vt = variantType;
    return result;
}

TEST(ComVariant, ScalarsRoundTripWithTheirComTypes) {
    const std::wstring withNull(L"高程\0尾", 4);
    const struct {
        Variant value;
        VARTYPE type;
    } cases[] = {
        {Variant{}, VT_EMPTY},
        {Variant{true}, VT_BOOL},
        {Variant{false}, VT_BOOL},
        {Variant{std::int16_t{-32768}}, VT_I2},
        {Variant{std::int32_t{2147483647}}, VT_I4},
        {Variant{-0.25}, VT_R8},
        {Variant{withNull}, VT_BSTR},
        {Variant{std::wstring()}, VT_BSTR},
    };
    for (const auto& c : cases) {
        const ScopedVariant com = ToComVariant(c.value, kClient);
        EXPECT_EQ(com.Get().vt, c.type);
        EXPECT_EQ(FromComVariant(com.Get(), kClient), c.value);
    }
    const ScopedVariant yes = ToComVariant(Variant{true}, kClient);
    EXPECT_EQ(yes.Get().boolVal, VARIANT_TRUE);
}

TEST(ComVariant, ReadsWhatOtherServersSendForTheSameValues) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_NULL;
    EXPECT_TRUE(FromComVariant(value, kClient).IsEmpty());
    value.vt = VT_R4;
    value.fltVal = 1.5f;
    EXPECT_EQ(FromComVariant(value, kClient), Variant{1.5});
    value.vt = VT_BOOL;
    value.boolVal = 1;  // any non-zero is true
    EXPECT_EQ(FromComVariant(value, kClient), Variant{true});
    value.vt = VT_BSTR;
    value.bstrVal = nullptr;  // the empty string
    EXPECT_EQ(FromComVariant(value, kClient), Variant{L""});
}

TEST(ComVariant, DoublesGoOutAsZeroBasedArrayOfR8) {
    const ScopedVariant com = ToComVariant(Variant{std::vector<double>{1.0, 2.5, -3.0}}, kClient);
    ASSERT_EQ(com.Get().vt, VT_ARRAY | VT_R8);
    LONG lower = -1;
    LONG upper = -1;
    SafeArrayGetLBound(com.Get().parray, 1, &lower);
    SafeArrayGetUBound(com.Get().parray, 1, &upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 2);
    EXPECT_EQ(FromComVariant(com.Get(), kClient), (Variant{std::vector<double>{1.0, 2.5, -3.0}}));
    EXPECT_EQ(RoundTrip(Variant{std::vector<double>{}}), Variant{std::vector<double>{}});
}

TEST(ComVariant, ReadsArraysWithAnyLowerBound) {
    ScopedVariant com = ArrayVariant(VT_R8, 1, 2, VT_ARRAY | VT_R8);
    {
        SafeArrayElements<double> elements(com.Get().parray);
        elements.Items()[0] = 7.0;
        elements.Items()[1] = 8.0;
    }
    EXPECT_EQ(FromComVariant(com.Get(), kClient), (Variant{std::vector<double>{7.0, 8.0}}));
}

TEST(ComVariant, ArrayOfVariantsGivesNumbersAsDoubles) {
    ScopedVariant com = ArrayVariant(VT_VARIANT, 0, 3, VT_ARRAY | VT_VARIANT);
    {
        SafeArrayElements<VARIANT> elements(com.Get().parray);
        elements.Items()[0].vt = VT_R8;
        elements.Items()[0].dblVal = 100.5;
        elements.Items()[1].vt = VT_I2;
        elements.Items()[1].iVal = 7;
        elements.Items()[2].vt = VT_I4;
        elements.Items()[2].lVal = -9;
    }
    EXPECT_EQ(FromComVariant(com.Get(), kClient), (Variant{std::vector<double>{100.5, 7.0, -9.0}}));

    ScopedVariant empty = ArrayVariant(VT_VARIANT, 0, 0, VT_ARRAY | VT_VARIANT);
    EXPECT_EQ(FromComVariant(empty.Get(), kClient), Variant{std::vector<double>{}});
}

TEST(ComVariant, ArrayOfVariantsMixingKindsIsTypeMismatch) {
    ComPtr<FakeComObject> object = FakeComObject::Create();
    ScopedVariant numberThenObject = ArrayVariant(VT_VARIANT, 0, 2, VT_ARRAY | VT_VARIANT);
    ScopedVariant objectThenNumber = ArrayVariant(VT_VARIANT, 0, 2, VT_ARRAY | VT_VARIANT);
    ScopedVariant texts = ArrayVariant(VT_VARIANT, 0, 1, VT_ARRAY | VT_VARIANT);
    {
        SafeArrayElements<VARIANT> a(numberThenObject.Get().parray);
        a.Items()[0].vt = VT_R8;
        a.Items()[1].vt = VT_DISPATCH;
        a.Items()[1].pdispVal = object.Get();
        object->AddRef();
        SafeArrayElements<VARIANT> b(objectThenNumber.Get().parray);
        b.Items()[0].vt = VT_DISPATCH;
        b.Items()[0].pdispVal = object.Get();
        object->AddRef();
        b.Items()[1].vt = VT_R8;
        SafeArrayElements<VARIANT> c(texts.Get().parray);
        c.Items()[0].vt = VT_BSTR;
        c.Items()[0].bstrVal = Bstr(L"1").Release();
    }
    EXPECT_EQ(ErrorNumberOf(numberThenObject.Get()), 13);
    EXPECT_EQ(ErrorNumberOf(objectThenNumber.Get()), 13);
    EXPECT_EQ(ErrorNumberOf(texts.Get()), 13);
    numberThenObject = ScopedVariant();
    objectThenNumber = ScopedVariant();
    EXPECT_EQ(object->References(), 1u);  // the wrappers made on the way were released
}

TEST(ComVariant, UnsupportedTypesAreTypeMismatch) {
    VARIANT value;
    VariantInit(&value);
    for (const VARTYPE type : {VT_DATE, VT_I8, VT_CY, VT_ERROR, VT_UI1, VT_DECIMAL, VT_UNKNOWN}) {
        value.vt = type;
        value.llVal = 0;
        EXPECT_EQ(ErrorNumberOf(value), 13) << type;
    }
    ScopedVariant texts = ArrayVariant(VT_BSTR, 0, 2, VT_ARRAY | VT_BSTR);
    EXPECT_EQ(ErrorNumberOf(texts.Get()), 13);
}

TEST(ComVariant, ArraysOfOtherShapesAreTypeMismatch) {
    // Two dimensions.
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 0}};
    ScopedVariant matrix;
    VARIANT* slot = matrix.Receive();
    slot->parray = SafeArrayCreate(VT_R8, 2, bounds);
    slot->vt = VT_ARRAY | VT_R8;
    EXPECT_EQ(ErrorNumberOf(matrix.Get()), 13);

    // A VARIANT that claims doubles over an array of something else: 4-byte integers, and the 8-byte
    // types whose elements are as large as a double.
    for (const VARTYPE elementType : {VT_I4, VT_I8, VT_CY, VT_DATE}) {
        ScopedVariant lying = ArrayVariant(elementType, 0, 3, VT_ARRAY | VT_R8);
        EXPECT_EQ(ErrorNumberOf(lying.Get()), 13) << elementType;
        SAFEARRAY* array = lying.Get().parray;
        VARIANT reference;
        VariantInit(&reference);
        reference.vt = VT_BYREF | VT_ARRAY | VT_R8;
        reference.pparray = &array;
        EXPECT_EQ(ErrorNumberOf(reference), 13) << elementType;
    }
    // Objects claimed over an array of texts or of plain IUnknowns, pointers as large as an IDispatch*.
    for (const VARTYPE elementType : {VT_BSTR, VT_UNKNOWN}) {
        ScopedVariant lying = ArrayVariant(elementType, 0, 2, VT_ARRAY | VT_DISPATCH);
        EXPECT_EQ(ErrorNumberOf(lying.Get()), 13) << elementType;
    }
    // An array that says no type is taken as objects, as Wine delivers those, and as nothing else.
    const ScopedVariant typelessObjects = TypelessArrayVariant(sizeof(IDispatch*), 2, VT_ARRAY | VT_DISPATCH);
    EXPECT_EQ(FromComVariant(typelessObjects.Get(), kClient), (Variant{std::vector<DispatchPtr>(2)}));
    const ScopedVariant typelessDoubles = TypelessArrayVariant(sizeof(double), 2, VT_ARRAY | VT_R8);
    EXPECT_EQ(ErrorNumberOf(typelessDoubles.Get()), 13);

    // No array at all reads as an empty one.
    VARIANT missing;
    VariantInit(&missing);
    missing.vt = VT_ARRAY | VT_R8;
    missing.parray = nullptr;
    EXPECT_EQ(FromComVariant(missing, kClient), Variant{std::vector<double>{}});
}

TEST(ComVariant, ReadsThroughReferences) {
    double number = 12.5;
    const Bstr owned(L"等高线");
    BSTR text = owned.Get();
    std::int16_t small = 24;
    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_I4;
    inner.lVal = 32;

    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BYREF | VT_R8;
    value.pdblVal = &number;
    EXPECT_EQ(FromComVariant(value, kClient), Variant{12.5});
    value.vt = VT_BYREF | VT_BSTR;
    value.pbstrVal = &text;
    EXPECT_EQ(FromComVariant(value, kClient), Variant{L"等高线"});
    value.vt = VT_BYREF | VT_I2;
    value.piVal = &small;
    EXPECT_EQ(FromComVariant(value, kClient), Variant{std::int16_t{24}});
    value.vt = VT_BYREF | VT_VARIANT;
    value.pvarVal = &inner;
    EXPECT_EQ(FromComVariant(value, kClient), Variant{std::int32_t{32}});
}

TEST(ComVariant, MalformedReferencesAreTypeMismatch) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BYREF | VT_R8;
    value.pdblVal = nullptr;
    EXPECT_EQ(ErrorNumberOf(value), 13);

    double number = 1.0;
    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_BYREF | VT_R8;
    inner.pdblVal = &number;
    value.vt = VT_BYREF | VT_VARIANT;
    value.pvarVal = &inner;
    EXPECT_EQ(ErrorNumberOf(value), 13);

    DATE date = 0;
    value.vt = VT_BYREF | VT_DATE;
    value.pdate = &date;
    EXPECT_EQ(ErrorNumberOf(value), 13);
}

TEST(ComVariant, ClientObjectsGoBackAsTheServersOwnPointers) {
    ComPtr<FakeComObject> object = FakeComObject::Create();
    {
        VARIANT incoming;
        VariantInit(&incoming);
        incoming.vt = VT_DISPATCH;
        incoming.pdispVal = object.Get();
        const Variant wrapped = FromComVariant(incoming, kClient);
        ASSERT_TRUE(wrapped.Is<DispatchPtr>());

        const ScopedVariant single = ToComVariant(wrapped, kClient);
        EXPECT_EQ(single.Get().vt, VT_DISPATCH);
        EXPECT_EQ(single.Get().pdispVal, object.Get());

        const DispatchPtr entity = wrapped.As<DispatchPtr>();
        const ScopedVariant array =
            ToComVariant(Variant{std::vector<DispatchPtr>{entity, nullptr, entity}}, kClient);
        ASSERT_EQ(array.Get().vt, VT_ARRAY | VT_DISPATCH);
        const Variant back = FromComVariant(array.Get(), kClient);
        const auto& objects = back.As<std::vector<DispatchPtr>>();
        ASSERT_EQ(objects.size(), 3u);
        EXPECT_EQ(dynamic_cast<ComDispatch&>(*objects[0]).Object(), object.Get());
        EXPECT_EQ(objects[1], nullptr);
    }
    EXPECT_EQ(object->References(), 1u);
}

TEST(ComVariant, NullObjectsNeedNoMapping) {
    VARIANT incoming;
    VariantInit(&incoming);
    incoming.vt = VT_DISPATCH;
    incoming.pdispVal = nullptr;
    EXPECT_EQ(FromComVariant(incoming, kClient), Variant{DispatchPtr{}});
    const ScopedVariant outgoing = ToComVariant(Variant{DispatchPtr{}}, kClient);
    EXPECT_EQ(outgoing.Get().vt, VT_DISPATCH);
    EXPECT_EQ(outgoing.Get().pdispVal, nullptr);
}

TEST(ComVariant, ClientCannotSendObjectsThatAreNotComObjects) {
    ComPtr<FakeComObject> object = FakeComObject::Create();
    const DispatchPtr own = std::make_shared<ComDispatch>(object);
    const DispatchPtr foreign = std::make_shared<PortableObject>();
    try {
        ToComVariant(Variant{std::vector<DispatchPtr>{own, foreign}}, kClient);
        FAIL() << "no error";
    } catch (const AutomationError& error) {
        EXPECT_EQ(error.Number(), 13);
    }
    EXPECT_EQ(object->References(), 2u);  // only `own` still holds it: the half-built array let go
}

// A server-side mapping: each IDispatch stands for an object of the server's own model.
class ServerMapping final : public ObjectMapping {
public:
    DispatchPtr model = std::make_shared<PortableObject>();
    ComPtr<IDispatch> face = FakeComObject::Create();
    mutable int fromCalls = 0;
    mutable int toCalls = 0;

    DispatchPtr FromCom(IDispatch* object) const override {
        ++fromCalls;
        return object == face.Get() ? model : nullptr;
    }
    ComPtr<IDispatch> ToCom(const DispatchPtr& object) const override {
        ++toCalls;
        return object == model ? face : nullptr;
    }
};

TEST(ComVariant, ObjectsCrossThroughTheGivenMapping) {
    const ServerMapping server;
    const ScopedVariant out = ToComVariant(Variant{server.model}, server);
    EXPECT_EQ(out.Get().pdispVal, server.face.Get());
    EXPECT_EQ(FromComVariant(out.Get(), server), Variant{server.model});
    EXPECT_EQ(server.toCalls, 1);
    EXPECT_EQ(server.fromCalls, 1);
}

}  // namespace
}  // namespace korvena
