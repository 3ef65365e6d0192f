#include "cadsim/model/busy_schedule.h"

#include <algorithm>

namespace korvena::cadsim {

void BusySchedule::Reached(std::int64_t selections, std::int64_t undoMarks, std::int64_t now) {
    std::erase_if(waiting_, [&](const BusySpell& spell) {
        if (spell.afterUndoMark != 0 ? spell.afterUndoMark > undoMarks : spell.afterSelection > selections) {
            return false;
        }
        StartSpell(spell.milliseconds, now);
        return true;
    });
}

void BusySchedule::StartSpell(std::int64_t milliseconds, std::int64_t now) {
    const std::int64_t until = now + std::max<std::int64_t>(milliseconds, 0);
    if (!Busy(now) || until > *busyUntil_) busyUntil_ = until;
}

}  // namespace korvena::cadsim
