#pragma once
// BusySchedule: when the simulated CAD is busy with something of its own and refuses every automation
// call. A spell starts when the selection or the undo mark it waits for has come (BusySpell), or when a
// test asks for one from now on. Times are milliseconds of one monotonic clock, chosen by the caller.
//
// The refusing itself is the COM server's (its message filter): in process nothing is refused.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "cadsim/model/faults.h"

namespace korvena::cadsim {

class BusySchedule {
public:
    explicit BusySchedule(std::vector<BusySpell> spells = {}) : waiting_(std::move(spells)) {}

    // By `now`, `selections` selections have ended and `undoMarks` undo marks have been started: the
    // spells waiting for one of them start.
    void Reached(std::int64_t selections, std::int64_t undoMarks, std::int64_t now);
    // A spell from now on; it overlaps rather than shortens a running one.
    void StartSpell(std::int64_t milliseconds, std::int64_t now);

    bool Busy(std::int64_t now) const { return busyUntil_ && now < *busyUntil_; }
    // When the running spell ends; nothing when none has been started.
    std::optional<std::int64_t> BusyUntil() const { return busyUntil_; }

private:
    std::vector<BusySpell> waiting_;
    std::optional<std::int64_t> busyUntil_;
};

}  // namespace korvena::cadsim
