#pragma once
// Dispatch: a late-bound object, reached by member name at run time. Every failure throws
// AutomationError with the number a late-bound caller would see; a member the object lacks is 438.

#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "cad/automation_error.h"
#include "cad/variant.h"

namespace korvena {

class Dispatch {
public:
    virtual ~Dispatch() = default;

    // Property get, with arguments for an indexed property (Coordinate(0)).
    virtual Variant Get(std::wstring_view member, const std::vector<Variant>& args = {}) = 0;
    // Property put.
    virtual void Put(std::wstring_view member, const Variant& value) = 0;
    // Method call; an empty Variant when the method returns nothing.
    virtual Variant Call(std::wstring_view member, const std::vector<Variant>& args = {}) = 0;
    // The members of a collection, in the collection's own order (the late-bound For Each).
    virtual std::vector<Variant> Enumerate() = 0;
    // The same members handed to `visit` one by one as the collection yields them, so that each can
    // be let go before the next arrives. By default over Enumerate().
    virtual void ForEach(const std::function<void(Variant)>& visit) {
        for (Variant& item : Enumerate()) visit(std::move(item));
    }
};

}  // namespace korvena
