#include "cadsim/model/sim_object.h"

#include <utility>

#include "cadsim/model/sim_errors.h"
#include "cadsim/model/sim_state.h"

namespace korvena::cadsim {

using korvena::Variant;

SimObject::SimObject(std::weak_ptr<SimState> state, ObjectKind kind, int id, int entityType)
    : state_(std::move(state)), kind_(kind), id_(id), entityType_(entityType) {}

Variant SimObject::Get(std::wstring_view member, const std::vector<Variant>& args) {
    return Invoke(CallKind::kGet, member, args, nullptr);
}

void SimObject::Put(std::wstring_view member, const Variant& value) {
    Invoke(CallKind::kPut, member, {}, &value);
}

Variant SimObject::Call(std::wstring_view member, const std::vector<Variant>& args) {
    return Invoke(CallKind::kCall, member, args, nullptr);
}

std::vector<Variant> SimObject::Enumerate() {
    const Variant items = Invoke(CallKind::kEnumerate, MemberName(Member::kNewEnum), {}, nullptr);
    const auto& objects = items.As<std::vector<korvena::DispatchPtr>>();
    return std::vector<Variant>(objects.begin(), objects.end());
}

bool SimObject::HasMember(std::wstring_view member) const {
    if (const auto state = state_.lock()) {
        if (IsMissing(*state, member)) return false;
        if (Answer(*state, member)) return true;
    }
    const Member known = FindMember(member);
    return known != Member::kUnknown && AccessOf(known) != 0;
}

bool SimObject::LookUp(std::wstring_view member) {
    const auto state = state_.lock();
    if (!state) throw CadDisconnected();
    CallRecord record = NewRecord(CallKind::kLookup, member);
    ++state->callCount;
    if (state->CallFindsCadGone()) {
        record.failed = true;
        record.errorNumber = sim_error::kDisconnected;
        record.result = std::wstring(kDisconnectedText);
        state->Record(std::move(record));
        throw CadDisconnected();
    }
    const bool found = HasMember(member);
    record.result = RenderValue(found);
    state->Record(std::move(record));
    return found;
}

CallRecord SimObject::NewRecord(CallKind kind, std::wstring_view member) const {
    CallRecord record;
    record.objectKind = kind_;
    record.objectId = id_;
    record.member = member;
    record.kind = kind;
    return record;
}

bool SimObject::BelongsTo(const SimState* state) const noexcept {
    const auto mine = state_.lock();
    return mine && mine.get() == state;
}

void SimObject::CheckAlive(const SimState& state) const {
    if (kind_ != ObjectKind::kApplication && !state.documentOpen) throw NoDocument();
}

Variant SimObject::DoGet(SimState&, Member member, const std::vector<Variant>&) {
    throw korvena::MemberNotSupported(MemberName(member));
}

void SimObject::DoPut(SimState&, Member member, const Variant&) {
    throw korvena::MemberNotSupported(MemberName(member));
}

Variant SimObject::DoCall(SimState&, Member member, const std::vector<Variant>&) {
    throw korvena::MemberNotSupported(MemberName(member));
}

std::vector<korvena::DispatchPtr> SimObject::DoEnumerate(SimState&) {
    throw korvena::MemberNotSupported(MemberName(Member::kNewEnum));
}

Variant SimObject::Invoke(CallKind kind, std::wstring_view member, const std::vector<Variant>& args,
                          const Variant* value) {
    const auto state = state_.lock();
    if (!state) throw CadDisconnected();
    CallRecord record = NewRecord(kind, member);
    if (state->recording) record.arguments = value ? RenderValue(*value) : RenderValues(args);
    ++state->callCount;
    try {
        Variant result = Perform(*state, kind, member, args, value);
        if (state->recording) {
            record.result = result.IsEmpty() && kind != CallKind::kGet ? L"ok" : RenderValue(result);
        }
        state->Record(std::move(record));
        if (kind == CallKind::kPut || kind == CallKind::kCall) state->NotifyChanged();
        return result;
    } catch (const korvena::AutomationError& error) {
        record.failed = true;
        record.errorNumber = error.Number();
        record.result = error.Description();
        state->Record(std::move(record));
        if (kind == CallKind::kPut || kind == CallKind::kCall) state->NotifyChanged();
        throw;
    }
}

Variant SimObject::Perform(SimState& state, CallKind kind, std::wstring_view name,
                           const std::vector<Variant>& args, const Variant* value) {
    if (state.CallFindsCadGone()) throw CadDisconnected();
    if (IsMissing(state, name)) throw korvena::MemberNotSupported(name);

    const Member member = FindMember(name);
    const Variant* answer = kind == CallKind::kGet || kind == CallKind::kCall ? Answer(state, name) : nullptr;
    unsigned access = member == Member::kUnknown ? 0 : AccessOf(member);
    if (answer) access |= kGettable;

    CallKind effective = kind;
    switch (kind) {
        case CallKind::kGet:
            if (!(access & kGettable)) throw korvena::MemberNotSupported(name);
            break;
        case CallKind::kPut:
            if (!(access & kPuttable)) throw korvena::MemberNotSupported(name);
            break;
        case CallKind::kCall:
            if (access & kCallable) {
                answer = nullptr;
            } else if (access & kGettable) {
                effective = CallKind::kGet;
            } else {
                throw korvena::MemberNotSupported(name);
            }
            break;
        case CallKind::kEnumerate:
            if (!(access & kEnumerable)) throw korvena::MemberNotSupported(name);
            break;
        case CallKind::kLookup:
            break;
    }

    CheckAlive(state);
    ApplyFailures(state, name);
    if (answer) return *answer;

    switch (effective) {
        case CallKind::kGet:
            return DoGet(state, member, args);
        case CallKind::kPut:
            DoPut(state, member, *value);
            return {};
        case CallKind::kCall:
            return DoCall(state, member, args);
        case CallKind::kEnumerate:
            return DoEnumerate(state);
        case CallKind::kLookup:
            break;
    }
    return {};
}

bool SimObject::IsMissing(const SimState& state, std::wstring_view member) const {
    for (const auto& missing : state.faults.missingMembers) {
        if (missing.Matches(kind_, entityType_, id_, member)) return true;
    }
    return false;
}

const Variant* SimObject::Answer(const SimState& state, std::wstring_view member) const {
    for (const auto& answer : state.faults.answers) {
        if (answer.where.Matches(kind_, entityType_, id_, member)) return &answer.value;
    }
    return nullptr;
}

void SimObject::ApplyFailures(SimState& state, std::wstring_view member) const {
    for (auto& failure : state.faults.failures) {
        if (!failure.where.Matches(kind_, entityType_, id_, member)) continue;
        if (failure.after > 0) {
            --failure.after;
            continue;
        }
        throw korvena::AutomationError(failure.number, failure.description);
    }
}

void ExpectArgumentCount(const std::vector<Variant>& args, std::size_t count) {
    if (args.size() != count) throw korvena::WrongArgumentCount();
}

Point3 PointArgument(const Variant& value) {
    const std::vector<double> values = korvena::ToDoubles(value, 3);
    if (values.size() != 3) throw korvena::InvalidCall(L"需要三个坐标");
    return {values[0], values[1], values[2]};
}

std::size_t IndexArgument(const Variant& value, std::size_t count) {
    const std::int32_t index = korvena::ToLong(value);
    if (index < 0 || static_cast<std::size_t>(index) >= count) throw korvena::InvalidCall(L"索引超出范围");
    return static_cast<std::size_t>(index);
}

std::wstring NameArgument(const Variant& value) {
    std::wstring name = korvena::ToText(value);
    if (name.empty()) throw korvena::InvalidCall(L"名称为空");
    return name;
}

Variant PointValue(const Point3& point) {
    return std::vector<double>{point[0], point[1], point[2]};
}

}  // namespace korvena::cadsim
