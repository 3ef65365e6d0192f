#pragma once
// MemberIds: the DISPIDs of the served objects, one table for the whole process, so that a DISPID a
// client keeps for one object means the same member on every other object. A member of the model
// keeps its Member number; "_NewEnum" is the enumeration's standard DISPID; any other name an object
// answers to (an injected answer) gets a number of its own, from 1000 up, the first time it is seen.
// Names are matched without regard to case. Use from the server's one thread.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace korvena::cadsim {

inline constexpr std::int32_t kNewEnumId = -4;  // DISPID_NEWENUM

class MemberIds {
public:
    static MemberIds& Instance();

    // The number for a name, given out now if it has none yet.
    std::int32_t IdOf(std::wstring_view name);
    // The name behind a number, in its first spelling; nothing for a number never given out.
    std::optional<std::wstring> NameOf(std::int32_t id) const;

private:
    std::map<std::wstring, std::int32_t> ids_;  // by lower-cased name
    std::map<std::int32_t, std::wstring> names_;
    std::int32_t nextId_ = 1000;
};

}  // namespace korvena::cadsim
