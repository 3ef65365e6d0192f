#pragma once
// The record of every call made on the simulated CAD: which object, which member, how, with what,
// and what came back. Values are rendered as short typed texts so a test can compare them:
//   empty, bool:true, int16:2, int32:24, double:12.5, string:"a\n", doubles:[1,2,0],
//   object:Entity#3, objects:[Entity#1,Entity#2]
// In a string, backslash, quote, line feed, carriage return and tab are escaped as \\ \" \n \r \t.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cad/variant.h"
#include "cadsim/model/object_kind.h"

namespace korvena::cadsim {

enum class CallKind { kGet, kPut, kCall, kEnumerate, kLookup };

std::wstring_view CallKindName(CallKind kind);  // "get", "put", "call", "enumerate", "lookup"

struct CallRecord {
    ObjectKind objectKind = ObjectKind::kApplication;
    int objectId = 0;       // entity id; serial number of a selection set or group; 0 otherwise
    std::wstring member{};  // as the caller spelt it
    CallKind kind = CallKind::kGet;
    std::wstring arguments{};  // rendered, separated by ", "; a put's value
    bool failed = false;
    std::int32_t errorNumber = 0;
    std::wstring result{};  // the rendered value, "ok" for nothing, or the error's description
    double atMs = 0;        // when the call ended, in milliseconds since the simulation began
};

std::wstring RenderValue(const korvena::Variant& value);
std::wstring RenderValues(const std::vector<korvena::Variant>& values);  // joined by ", "
// "Entity#3", "SelectionSet#1", "Document".
std::wstring ObjectLabel(ObjectKind kind, int id);
// One line: "Entity#3 put Color(int16:2) -> ok", "Entity#4 get Elevation() -> error 438: ...".
std::wstring RecordText(const CallRecord& record);

}  // namespace korvena::cadsim
