#include "cadsim/model/busy_schedule.h"

#include <algorithm>

namespace korvena::cadsim {

void BusySchedule::SelectionsEnded(std::int64_t ended, std::int64_t now) {
    std::erase_if(waiting_, [&](const BusySpell& spell) {
        if (spell.afterSelection > ended) return false;
        StartSpell(spell.milliseconds, now);
        return true;
    });
}

void BusySchedule::StartSpell(std::int64_t milliseconds, std::int64_t now) {
    const std::int64_t until = now + std::max<std::int64_t>(milliseconds, 0);
    if (!Busy(now) || until > *busyUntil_) busyUntil_ = until;
}

}  // namespace korvena::cadsim
