#include "cadsim/server/member_ids.h"

#include "cadsim/model/member_names.h"

namespace korvena::cadsim {
namespace {

std::wstring Lower(std::wstring_view name) {
    std::wstring lower(name);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return lower;
}

}  // namespace

MemberIds& MemberIds::Instance() {
    static MemberIds ids;
    return ids;
}

std::int32_t MemberIds::IdOf(std::wstring_view name) {
    std::wstring key = Lower(name);
    if (const auto found = ids_.find(key); found != ids_.end()) return found->second;
    const Member member = FindMember(name);
    std::int32_t id = 0;
    if (member == Member::kNewEnum) {
        id = kNewEnumId;
    } else if (member != Member::kUnknown) {
        id = static_cast<std::int32_t>(member);
    } else {
        id = nextId_++;
    }
    ids_.emplace(std::move(key), id);
    names_.emplace(id, member == Member::kUnknown ? std::wstring(name) : std::wstring(MemberName(member)));
    return id;
}

std::optional<std::wstring> MemberIds::NameOf(std::int32_t id) const {
    if (const auto found = names_.find(id); found != names_.end()) return found->second;
    // A member of the model has its number before anyone asked for it (a client may keep DISPIDs).
    if (id == kNewEnumId) return std::wstring(MemberName(Member::kNewEnum));
    if (id > 0 && id < 1000) {
        const std::wstring_view name = MemberName(static_cast<Member>(id));
        if (!name.empty()) return std::wstring(name);
    }
    return std::nullopt;
}

}  // namespace korvena::cadsim
