#pragma once
// Variant: a value that crosses the late-bound boundary to the CAD, and the coercions the commands
// apply to what the CAD answers. A value of the wrong kind is a type mismatch (error 13), never a crash.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace korvena {

class Dispatch;
using DispatchPtr = std::shared_ptr<Dispatch>;

class Variant {
public:
    using Value = std::variant<std::monostate, bool, std::int16_t, std::int32_t, double, std::wstring,
                               std::vector<double>, DispatchPtr, std::vector<DispatchPtr>>;

    Variant() = default;
    Variant(bool v) : value_(v) {}
    Variant(std::int16_t v) : value_(v) {}
    Variant(std::int32_t v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(std::wstring v) : value_(std::move(v)) {}
    Variant(const wchar_t* v) : value_(std::wstring(v)) {}
    Variant(std::vector<double> v) : value_(std::move(v)) {}
    Variant(DispatchPtr v) : value_(std::move(v)) {}
    Variant(std::vector<DispatchPtr> v) : value_(std::move(v)) {}

    const Value& value() const noexcept { return value_; }
    bool IsEmpty() const noexcept { return std::holds_alternative<std::monostate>(value_); }
    template <class T> bool Is() const noexcept { return std::holds_alternative<T>(value_); }
    template <class T> const T& As() const { return std::get<T>(value_); }

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    Value value_;
};

// Coercions. Each throws AutomationError: 13 for a value of the wrong kind, 6 for a number that is
// not finite or does not fit, 91 for a missing object, 9 for an array shorter than asked for.
double ToDouble(const Variant& v);              // bool, int16, int32, double
std::int32_t ToLong(const Variant& v);          // bool, int16, int32, or a whole double in range
std::wstring ToText(const Variant& v);          // a string
DispatchPtr ToObject(const Variant& v);         // a non-null object
std::vector<double> ToDoubles(const Variant& v, std::size_t minCount);  // finite doubles, at least minCount

}  // namespace korvena
