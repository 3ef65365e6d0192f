#include "cad/variant.h"

#include <cmath>

#include "cad/automation_error.h"

namespace korvena {

namespace {

[[noreturn]] void TypeMismatch() { throw AutomationError(error_number::kTypeMismatch, L"类型不匹配"); }
[[noreturn]] void Overflow() { throw AutomationError(error_number::kOverflow, L"溢出"); }

double Finite(double x) {
    if (!std::isfinite(x)) Overflow();
    return x;
}

}  // namespace

double ToDouble(const Variant& v) {
    if (v.Is<double>()) return Finite(v.As<double>());
    if (v.Is<std::int32_t>()) return v.As<std::int32_t>();
    if (v.Is<std::int16_t>()) return v.As<std::int16_t>();
    if (v.Is<bool>()) return v.As<bool>() ? -1.0 : 0.0;  // a late-bound True is -1
    TypeMismatch();
}

std::int32_t ToLong(const Variant& v) {
    if (v.Is<std::int32_t>()) return v.As<std::int32_t>();
    if (v.Is<std::int16_t>()) return v.As<std::int16_t>();
    if (v.Is<bool>()) return v.As<bool>() ? -1 : 0;
    if (v.Is<double>()) {
        const double x = Finite(v.As<double>());
        if (x != std::floor(x)) TypeMismatch();
        if (x < -2147483648.0 || x > 2147483647.0) Overflow();
        return static_cast<std::int32_t>(x);
    }
    TypeMismatch();
}

std::wstring ToText(const Variant& v) {
    if (v.Is<std::wstring>()) return v.As<std::wstring>();
    TypeMismatch();
}

DispatchPtr ToObject(const Variant& v) {
    if (v.Is<DispatchPtr>()) {
        if (!v.As<DispatchPtr>()) throw AutomationError(error_number::kObjectNotSet, L"对象变量未设置");
        return v.As<DispatchPtr>();
    }
    if (v.IsEmpty()) throw AutomationError(error_number::kObjectNotSet, L"对象变量未设置");
    TypeMismatch();
}

std::vector<double> ToDoubles(const Variant& v, std::size_t minCount) {
    if (!v.Is<std::vector<double>>()) TypeMismatch();
    const auto& values = v.As<std::vector<double>>();
    if (values.size() < minCount) throw AutomationError(error_number::kSubscriptOutOfRange, L"下标越界");
    for (double x : values) Finite(x);
    return values;
}

}  // namespace korvena
