#pragma once
// SimObject: the base of every object of the simulated CAD. It resolves member names (any case),
// applies the injected faults, counts and records every call, and hands the call to its kind's
// handler. A member the object lacks, or one used the wrong way (a put of a read-only property), is
// 438; every other failure has a number of its own.

#include <memory>
#include <string_view>
#include <vector>

#include "cad/dispatch.h"
#include "cadsim/model/call_record.h"
#include "cadsim/model/drawing.h"
#include "cadsim/model/member_names.h"
#include "cadsim/model/object_kind.h"

namespace korvena::cadsim {

struct SimState;

class SimObject : public korvena::Dispatch {
public:
    korvena::Variant Get(std::wstring_view member, const std::vector<korvena::Variant>& args = {}) final;
    void Put(std::wstring_view member, const korvena::Variant& value) final;
    // A call of a property (no method of that name) reads it, as a late-bound caller may ask either way.
    korvena::Variant Call(std::wstring_view member, const std::vector<korvena::Variant>& args = {}) final;
    std::vector<korvena::Variant> Enumerate() final;

    // Whether the object answers to the name. Pure: no call is counted.
    virtual bool HasMember(std::wstring_view member) const;
    // The same as a counted and recorded round trip (the COM server's GetIDsOfNames); throws the
    // disconnected error once the CAD is gone.
    bool LookUp(std::wstring_view member);

    ObjectKind Kind() const noexcept { return kind_; }
    // Entity id, or serial number of a selection set or group; 0 for the others.
    int Id() const noexcept { return id_; }
    // The EntityType code of an entity; 0 for the others.
    int EntityTypeCode() const noexcept { return entityType_; }
    bool BelongsTo(const SimState* state) const noexcept;

protected:
    // What AccessOf answers, combined.
    static constexpr unsigned kGettable = 1;
    static constexpr unsigned kPuttable = 2;
    static constexpr unsigned kCallable = 4;
    static constexpr unsigned kEnumerable = 8;

    SimObject(std::weak_ptr<SimState> state, ObjectKind kind, int id = 0, int entityType = 0);

    // What the object does with a member: a combination of the bits above; 0 when it lacks it.
    virtual unsigned AccessOf(Member member) const = 0;
    // Throws when the object can no longer be used. By default every object but the application
    // needs an open document.
    virtual void CheckAlive(const SimState& state) const;
    virtual korvena::Variant DoGet(SimState& state, Member member, const std::vector<korvena::Variant>& args);
    virtual void DoPut(SimState& state, Member member, const korvena::Variant& value);
    virtual korvena::Variant DoCall(SimState& state, Member member,
                                    const std::vector<korvena::Variant>& args);
    // The members of a collection, in its own order.
    virtual std::vector<korvena::DispatchPtr> DoEnumerate(SimState& state);

private:
    korvena::Variant Invoke(CallKind kind, std::wstring_view member,
                            const std::vector<korvena::Variant>& args, const korvena::Variant* value);
    korvena::Variant Perform(SimState& state, CallKind kind, std::wstring_view member,
                             const std::vector<korvena::Variant>& args, const korvena::Variant* value);
    CallRecord NewRecord(CallKind kind, std::wstring_view member) const;
    bool IsMissing(const SimState& state, std::wstring_view member) const;
    const korvena::Variant* Answer(const SimState& state, std::wstring_view member) const;
    void ApplyFailures(SimState& state, std::wstring_view member) const;

    std::weak_ptr<SimState> state_;
    ObjectKind kind_;
    int id_;
    int entityType_;
};

// Argument checks shared by the objects; each failure is a non-438 AutomationError.
void ExpectArgumentCount(const std::vector<korvena::Variant>& args, std::size_t count);
// Exactly three finite doubles.
Point3 PointArgument(const korvena::Variant& value);
// A whole number in 0 .. count - 1.
std::size_t IndexArgument(const korvena::Variant& value, std::size_t count);
// A non-empty string.
std::wstring NameArgument(const korvena::Variant& value);
korvena::Variant PointValue(const Point3& point);

}  // namespace korvena::cadsim
