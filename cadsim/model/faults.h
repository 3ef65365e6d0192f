#pragma once
// Faults a test can inject into the simulated CAD: a refused colour, a member an old CAD lacks, a
// member that answers a value of the wrong kind, a call that fails, a CAD that goes away, and spells
// in which the CAD is busy and refuses every automation call (only across COM: see busy_schedule.h).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cad/variant.h"
#include "cadsim/model/object_kind.h"
#include "cadsim/model/sim_errors.h"

namespace korvena::cadsim {

// One member of one kind of object; for entities optionally of one EntityType code or one entity.
struct MemberSelector {
    ObjectKind object = ObjectKind::kEntity;
    int entityType = 0;     // entities only: 0 = every kind
    int entityId = 0;       // entities only: 0 = every entity
    std::wstring member{};  // matched without regard to case

    bool Matches(ObjectKind kind, int type, int id, std::wstring_view name) const;
};

// A get of the member answers `value` instead of the truth (also on an object that lacks it).
struct AnsweredMember {
    MemberSelector where{};
    korvena::Variant value{};
};

// The first `after` calls of the member succeed; every later one fails with `number`.
struct FailingMember {
    MemberSelector where{};
    int after = 0;
    std::int32_t number = sim_error::kInjectedFailure;
    std::wstring description = L"调用失败";
};

// Once the `afterSelection`-th SelectOnScreen (counting from 1) has ended, the CAD is busy for
// `milliseconds`; or, when `afterUndoMark` is not 0, once the `afterUndoMark`-th StartUndoMark has been
// carried out (a CAD can turn busy at any moment of a client's work, as when its autosave starts).
struct BusySpell {
    int afterSelection = 1;
    int afterUndoMark = 0;
    std::int64_t milliseconds = 0;

    friend bool operator==(const BusySpell&, const BusySpell&) = default;
};

struct Faults {
    std::vector<std::int16_t> refusedColors{};     // a Color put of one of these fails, non-438
    std::vector<MemberSelector> missingMembers{};  // the member does not exist: 438, HasMember false
    std::vector<AnsweredMember> answers{};
    std::vector<FailingMember> failures{};
    // Calls numbered above this (the first call is 1) fail as a disconnected server.
    std::optional<std::int64_t> disconnectAfterCall{};
    std::vector<BusySpell> busySpells{};
};

}  // namespace korvena::cadsim
