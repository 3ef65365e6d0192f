#include "cad/variant.h"

#include <cmath>

#include "cad/automation_error.h"

namespace korvena {

namespace {

double Finite(double x) {
    if (!std::isfinite(x)) throw Overflow();
    return x;
}

}  // namespace

double ToDouble(const Variant& v) {
    if (v.Is<double>()) return Finite(v.As<double>());
    if (v.Is<std::int32_t>()) return v.As<std::int32_t>();
    if (v.Is<std::int16_t>()) return v.As<std::int16_t>();
    if (v.Is<bool>()) return v.As<bool>() ? -1.0 : 0.0;  // a late-bound True is -1
    throw TypeMismatch();
}

std::int32_t ToLong(const Variant& v) {
    if (v.Is<std::int32_t>()) return v.As<std::int32_t>();
    if (v.Is<std::int16_t>()) return v.As<std::int16_t>();
    if (v.Is<bool>()) return v.As<bool>() ? -1 : 0;
    if (v.Is<double>()) {
        const double x = Finite(v.As<double>());
        if (x != std::floor(x)) throw TypeMismatch();
        if (x < -2147483648.0 || x > 2147483647.0) throw Overflow();
        return static_cast<std::int32_t>(x);
    }
    throw TypeMismatch();
}

std::wstring ToText(const Variant& v) {
    if (v.Is<std::wstring>()) return v.As<std::wstring>();
    throw TypeMismatch();
}

DispatchPtr ToObject(const Variant& v) {
    if (v.Is<DispatchPtr>()) {
        if (!v.As<DispatchPtr>()) throw ObjectNotSet();
        return v.As<DispatchPtr>();
    }
    if (v.IsEmpty()) throw ObjectNotSet();
    throw TypeMismatch();
}

std::vector<double> ToDoubles(const Variant& v, std::size_t minCount) {
    if (!v.Is<std::vector<double>>()) throw TypeMismatch();
    const auto& values = v.As<std::vector<double>>();
    if (values.size() < minCount) throw SubscriptOutOfRange();
    for (double x : values) Finite(x);
    return values;
}

}  // namespace korvena
