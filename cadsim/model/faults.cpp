#include "cadsim/model/faults.h"

#include "base/ascii_case.h"

namespace korvena::cadsim {

bool MemberSelector::Matches(ObjectKind kind, int type, int id, std::wstring_view name) const {
    if (kind != object || !SameIgnoringAsciiCase(member, name)) return false;
    if (kind != ObjectKind::kEntity) return true;
    return (entityType == 0 || entityType == type) && (entityId == 0 || entityId == id);
}

}  // namespace korvena::cadsim
