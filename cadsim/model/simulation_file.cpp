#include "cadsim/model/simulation_file.h"

#include <cmath>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <utility>

#include "cadsim/model/utf8_text.h"

namespace korvena::cadsim {

namespace {

using Json = nlohmann::ordered_json;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw SimulationFileError(where + ": " + what);
}

std::string At(const std::string& where, std::string_view key) {
    return where + "." + std::string(key);
}
std::string At(const std::string& where, std::size_t index) {
    return where + "[" + std::to_string(index) + "]";
}

void CheckKeys(const Json& object, std::initializer_list<std::string_view> allowed,
               const std::string& where) {
    if (!object.is_object()) Fail(where, "expected an object");
    for (const auto& item : object.items()) {
        bool known = false;
        for (std::string_view key : allowed) known = known || item.key() == key;
        if (!known) Fail(where, "unknown key \"" + item.key() + "\"");
    }
}

const Json& ArrayOf(const Json& value, const std::string& where) {
    if (!value.is_array()) Fail(where, "expected an array");
    return value;
}

double ReadNumber(const Json& value, const std::string& where) {
    if (!value.is_number()) Fail(where, "expected a number");
    const double number = value.get<double>();
    if (!std::isfinite(number)) Fail(where, "expected a finite number");
    return number;
}

// A number that may also be written "nan", "inf" or "-inf".
double ReadAnyDouble(const Json& value, const std::string& where) {
    if (value.is_string()) {
        const auto text = value.get<std::string>();
        if (text == "nan") return std::numeric_limits<double>::quiet_NaN();
        if (text == "inf") return std::numeric_limits<double>::infinity();
        if (text == "-inf") return -std::numeric_limits<double>::infinity();
        Fail(where, "expected a number, \"nan\", \"inf\" or \"-inf\"");
    }
    return ReadNumber(value, where);
}

Json WriteAnyDouble(double x) {
    if (std::isnan(x)) return "nan";
    if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
    return x;
}

long long ReadInteger(const Json& value, long long low, long long high, const std::string& where) {
    if (!value.is_number_integer()) Fail(where, "expected a whole number");
    const auto number = value.get<long long>();
    if (value.is_number_unsigned() &&
        value.get<unsigned long long>() > static_cast<unsigned long long>(high)) {
        Fail(where, "number out of range");
    }
    if (number < low || number > high) Fail(where, "number out of range");
    return number;
}

int ReadInt(const Json& value, const std::string& where) {
    return static_cast<int>(
        ReadInteger(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), where));
}

std::wstring ReadText(const Json& value, const std::string& where) {
    if (!value.is_string()) Fail(where, "expected a string");
    return FromUtf8(value.get<std::string>());
}

bool ReadBool(const Json& value, const std::string& where) {
    if (!value.is_boolean()) Fail(where, "expected true or false");
    return value.get<bool>();
}

Point3 ReadPoint(const Json& value, const std::string& where) {
    if (!value.is_array() || value.size() < 2 || value.size() > 3)
        Fail(where, "expected [x, y] or [x, y, z]");
    Point3 point{};
    for (std::size_t i = 0; i < value.size(); ++i) point[i] = ReadNumber(value[i], At(where, i));
    return point;
}

Json WritePoint(const Point3& point) {
    return Json::array({point[0], point[1], point[2]});
}

std::vector<int> ReadIds(const Json& value, const std::string& where) {
    std::vector<int> ids;
    for (std::size_t i = 0; i < ArrayOf(value, where).size(); ++i)
        ids.push_back(ReadInt(value[i], At(where, i)));
    return ids;
}

// Entities.

std::vector<std::string_view> GeometryKeys(EntityKind kind) {
    switch (kind) {
        case EntityKind::kCustom:
            return {"objectName", "insertionPoint"};
        case EntityKind::kArc:
            return {"center", "radius", "startAngle", "endAngle"};
        case EntityKind::kCircle:
            return {"center", "radius"};
        case EntityKind::kEllipse:
            return {"center", "majorAxis", "ratio"};
        case EntityKind::kPoint:
            return {"coordinates"};
        case EntityKind::kBlockReference:
            return {"insertionPoint", "name"};
        case EntityKind::kText:
        case EntityKind::kMText:
            return {"insertionPoint", "height", "textString"};
        case EntityKind::kLine:
            return {"start", "end"};
        case EntityKind::kPolyline:
        case EntityKind::kLwPolyline:
            return {"vertices", "elevation", "closed", "width"};
    }
    return {};
}

std::vector<Vertex> ReadVertices(const Json& value, const std::string& where) {
    std::vector<Vertex> vertices;
    for (std::size_t i = 0; i < ArrayOf(value, where).size(); ++i) {
        const Json& item = value[i];
        const std::string here = At(where, i);
        if (!item.is_array() || item.size() < 2 || item.size() > 3)
            Fail(here, "expected [x, y] or [x, y, bulge]");
        vertices.push_back({ReadNumber(item[0], At(here, 0)), ReadNumber(item[1], At(here, 1)),
                            item.size() == 3 ? ReadNumber(item[2], At(here, 2)) : 0.0});
    }
    if (vertices.size() < 2) Fail(where, "a polyline needs at least two vertices");
    return vertices;
}

Entity ReadEntity(const Json& value, const std::string& where) {
    if (!value.is_object() || !value.contains("kind")) Fail(where, "expected an object with a \"kind\"");
    const auto kind = KindFromName(ReadText(value["kind"], At(where, "kind")));
    if (!kind) Fail(At(where, "kind"), "unknown kind");
    for (const auto& item : value.items()) {
        bool known = item.key() == "kind" || item.key() == "id" || item.key() == "color";
        for (std::string_view key : GeometryKeys(*kind)) known = known || item.key() == key;
        if (!known) Fail(where, "unknown key \"" + item.key() + "\" for this kind");
    }

    Entity entity;
    entity.kind = *kind;
    auto read = [&](std::string_view key, auto&& reader) {
        if (value.contains(key)) reader(value[std::string(key)], At(where, key));
    };
    read("id", [&](const Json& v, const std::string& w) {
        entity.id = ReadInt(v, w);
        if (entity.id <= 0) Fail(w, "ids start at 1");
    });
    read("color", [&](const Json& v, const std::string& w) {
        entity.color = static_cast<std::int16_t>(ReadInteger(v, -32768, 32767, w));
    });
    auto point = [](Point3& target) {
        return [&target](const Json& v, const std::string& w) { target = ReadPoint(v, w); };
    };
    auto number = [](double& target) {
        return [&target](const Json& v, const std::string& w) { target = ReadNumber(v, w); };
    };
    auto text = [](std::wstring& target) {
        return [&target](const Json& v, const std::string& w) { target = ReadText(v, w); };
    };
    read("center", point(entity.position));
    read("coordinates", point(entity.position));
    read("insertionPoint", point(entity.position));
    read("start", point(entity.position));
    read("end", point(entity.endPoint));
    read("majorAxis", point(entity.majorAxis));
    read("radius", number(entity.radius));
    read("startAngle", number(entity.startAngle));
    read("endAngle", number(entity.endAngle));
    read("ratio", number(entity.radiusRatio));
    read("height", number(entity.height));
    read("elevation", number(entity.elevation));
    read("width", number(entity.width));
    read("name", text(entity.blockName));
    read("textString", text(entity.text));
    read("objectName", text(entity.className));
    read("closed", [&](const Json& v, const std::string& w) { entity.closed = ReadBool(v, w); });
    if (*kind == EntityKind::kCustom && entity.className.empty()) {
        Fail(where, "a custom entity needs its \"objectName\"");
    }
    if (IsPolylineKind(*kind)) {
        if (!value.contains("vertices")) Fail(where, "a polyline needs \"vertices\"");
        entity.vertices = ReadVertices(value["vertices"], At(where, "vertices"));
    }
    return entity;
}

Json WriteEntity(const Entity& entity) {
    Json out;
    out["kind"] = ToUtf8(KindName(entity.kind));
    out["id"] = entity.id;
    out["color"] = entity.color;
    switch (entity.kind) {
        case EntityKind::kCustom:
            out["objectName"] = ToUtf8(entity.className);
            out["insertionPoint"] = WritePoint(entity.position);
            break;
        case EntityKind::kArc:
            out["center"] = WritePoint(entity.position);
            out["radius"] = entity.radius;
            out["startAngle"] = entity.startAngle;
            out["endAngle"] = entity.endAngle;
            break;
        case EntityKind::kCircle:
            out["center"] = WritePoint(entity.position);
            out["radius"] = entity.radius;
            break;
        case EntityKind::kEllipse:
            out["center"] = WritePoint(entity.position);
            out["majorAxis"] = WritePoint(entity.majorAxis);
            out["ratio"] = entity.radiusRatio;
            break;
        case EntityKind::kPoint:
            out["coordinates"] = WritePoint(entity.position);
            break;
        case EntityKind::kBlockReference:
            out["insertionPoint"] = WritePoint(entity.position);
            out["name"] = ToUtf8(entity.blockName);
            break;
        case EntityKind::kText:
        case EntityKind::kMText:
            out["insertionPoint"] = WritePoint(entity.position);
            out["height"] = entity.height;
            out["textString"] = ToUtf8(entity.text);
            break;
        case EntityKind::kLine:
            out["start"] = WritePoint(entity.position);
            out["end"] = WritePoint(entity.endPoint);
            break;
        case EntityKind::kPolyline:
        case EntityKind::kLwPolyline: {
            Json vertices = Json::array();
            for (const Vertex& vertex : entity.vertices) {
                vertices.push_back(vertex.bulge == 0 ? Json::array({vertex.x, vertex.y})
                                                     : Json::array({vertex.x, vertex.y, vertex.bulge}));
            }
            out["vertices"] = std::move(vertices);
            out["elevation"] = entity.elevation;
            out["closed"] = entity.closed;
            out["width"] = entity.width;
            break;
        }
    }
    return out;
}

// Selection sets and groups.

std::vector<NamedEntityList> ReadNamedLists(const Json& value, const std::string& where) {
    std::vector<NamedEntityList> lists;
    for (std::size_t i = 0; i < ArrayOf(value, where).size(); ++i) {
        const std::string here = At(where, i);
        CheckKeys(value[i], {"name", "members"}, here);
        if (!value[i].contains("name")) Fail(here, "needs a \"name\"");
        NamedEntityList list{ReadText(value[i]["name"], At(here, "name")), {}};
        if (value[i].contains("members")) list.entityIds = ReadIds(value[i]["members"], At(here, "members"));
        lists.push_back(std::move(list));
    }
    return lists;
}

Json WriteNamedLists(const std::vector<NamedEntityList>& lists) {
    Json out = Json::array();
    for (const auto& list : lists) out.push_back({{"name", ToUtf8(list.name)}, {"members", list.entityIds}});
    return out;
}

// Faults.

korvena::Variant ReadValue(const Json& value, const std::string& where) {
    if (!value.is_object() || value.size() != 1)
        Fail(where, "expected one of {\"double\": ...}, {\"string\": ...}, ...");
    const auto first = value.begin();
    const std::string type = first.key();
    const Json& content = first.value();
    const std::string here = At(where, type);
    if (type == "empty") return {};
    if (type == "bool") return ReadBool(content, here);
    if (type == "int16") return static_cast<std::int16_t>(ReadInteger(content, -32768, 32767, here));
    if (type == "int32") {
        return static_cast<std::int32_t>(ReadInteger(content, std::numeric_limits<std::int32_t>::min(),
                                                     std::numeric_limits<std::int32_t>::max(), here));
    }
    if (type == "double") return ReadAnyDouble(content, here);
    if (type == "string") return ReadText(content, here);
    if (type == "doubles") {
        std::vector<double> values;
        for (std::size_t i = 0; i < ArrayOf(content, here).size(); ++i) {
            values.push_back(ReadAnyDouble(content[i], At(here, i)));
        }
        return values;
    }
    Fail(where, "unknown value type \"" + type + "\"");
}

Json WriteValue(const korvena::Variant& value) {
    if (value.Is<bool>()) return {{"bool", value.As<bool>()}};
    if (value.Is<std::int16_t>()) return {{"int16", value.As<std::int16_t>()}};
    if (value.Is<std::int32_t>()) return {{"int32", value.As<std::int32_t>()}};
    if (value.Is<double>()) return {{"double", WriteAnyDouble(value.As<double>())}};
    if (value.Is<std::wstring>()) return {{"string", ToUtf8(value.As<std::wstring>())}};
    if (value.Is<std::vector<double>>()) {
        Json values = Json::array();
        for (double x : value.As<std::vector<double>>()) values.push_back(WriteAnyDouble(x));
        return {{"doubles", std::move(values)}};
    }
    return {{"empty", nullptr}};  // objects have no file form
}

MemberSelector ReadSelector(const Json& value, const std::string& where) {
    MemberSelector selector;
    if (value.contains("object")) {
        const auto object = ObjectKindFromName(ReadText(value["object"], At(where, "object")));
        if (!object) Fail(At(where, "object"), "unknown object kind");
        selector.object = *object;
    }
    if (value.contains("entityType"))
        selector.entityType = ReadInt(value["entityType"], At(where, "entityType"));
    if (value.contains("entityId")) selector.entityId = ReadInt(value["entityId"], At(where, "entityId"));
    if (!value.contains("member")) Fail(where, "needs a \"member\"");
    selector.member = ReadText(value["member"], At(where, "member"));
    return selector;
}

void WriteSelector(Json& out, const MemberSelector& selector) {
    out["object"] = ToUtf8(ObjectKindName(selector.object));
    if (selector.entityType != 0) out["entityType"] = selector.entityType;
    if (selector.entityId != 0) out["entityId"] = selector.entityId;
    out["member"] = ToUtf8(selector.member);
}

template <class Item, class ReadItem>
std::vector<Item> ReadItems(const Json& faults, std::string_view key, const std::string& where,
                            ReadItem readItem) {
    std::vector<Item> items;
    if (!faults.contains(key)) return items;
    const Json& list = faults[std::string(key)];
    for (std::size_t i = 0; i < ArrayOf(list, At(where, key)).size(); ++i) {
        items.push_back(readItem(list[i], At(At(where, key), i)));
    }
    return items;
}

Faults ReadFaults(const Json& value, const std::string& where) {
    CheckKeys(value,
              {"refusedColors", "missingMembers", "answers", "failures", "dieAfterCalls", "busySpells"},
              where);
    Faults faults;
    faults.refusedColors =
        ReadItems<std::int16_t>(value, "refusedColors", where, [](const Json& v, const std::string& w) {
            return static_cast<std::int16_t>(ReadInteger(v, -32768, 32767, w));
        });
    faults.missingMembers =
        ReadItems<MemberSelector>(value, "missingMembers", where, [](const Json& v, const std::string& w) {
            CheckKeys(v, {"object", "entityType", "entityId", "member"}, w);
            return ReadSelector(v, w);
        });
    faults.answers =
        ReadItems<AnsweredMember>(value, "answers", where, [](const Json& v, const std::string& w) {
            CheckKeys(v, {"object", "entityType", "entityId", "member", "value"}, w);
            if (!v.contains("value")) Fail(w, "needs a \"value\"");
            return AnsweredMember{ReadSelector(v, w), ReadValue(v["value"], At(w, "value"))};
        });
    faults.failures =
        ReadItems<FailingMember>(value, "failures", where, [](const Json& v, const std::string& w) {
            CheckKeys(v, {"object", "entityType", "entityId", "member", "after", "number", "description"}, w);
            FailingMember failure{ReadSelector(v, w)};
            if (v.contains("after"))
                failure.after = static_cast<int>(ReadInteger(v["after"], 0, 1 << 30, At(w, "after")));
            if (v.contains("number")) failure.number = ReadInt(v["number"], At(w, "number"));
            if (v.contains("description"))
                failure.description = ReadText(v["description"], At(w, "description"));
            return failure;
        });
    if (value.contains("dieAfterCalls")) {
        faults.disconnectAfterCall = ReadInteger(
            value["dieAfterCalls"], 0, std::numeric_limits<long long>::max(), At(where, "dieAfterCalls"));
    }
    faults.busySpells =
        ReadItems<BusySpell>(value, "busySpells", where, [](const Json& v, const std::string& w) {
            CheckKeys(v, {"afterSelection", "afterUndoMark", "milliseconds"}, w);
            BusySpell spell;
            if (v.contains("afterSelection") && v.contains("afterUndoMark"))
                Fail(w, "takes \"afterSelection\" or \"afterUndoMark\", not both");
            if (v.contains("afterSelection"))
                spell.afterSelection =
                    static_cast<int>(ReadInteger(v["afterSelection"], 1, 1 << 30, At(w, "afterSelection")));
            if (v.contains("afterUndoMark"))
                spell.afterUndoMark =
                    static_cast<int>(ReadInteger(v["afterUndoMark"], 1, 1 << 30, At(w, "afterUndoMark")));
            if (!v.contains("milliseconds")) Fail(w, "needs \"milliseconds\"");
            spell.milliseconds = ReadInteger(v["milliseconds"], 0, 24LL * 3600 * 1000, At(w, "milliseconds"));
            return spell;
        });
    return faults;
}

Json WriteFaults(const Faults& faults) {
    Json out;
    out["refusedColors"] = faults.refusedColors;
    Json missing = Json::array();
    for (const auto& selector : faults.missingMembers) {
        Json item;
        WriteSelector(item, selector);
        missing.push_back(std::move(item));
    }
    out["missingMembers"] = std::move(missing);
    Json answers = Json::array();
    for (const auto& answer : faults.answers) {
        Json item;
        WriteSelector(item, answer.where);
        item["value"] = WriteValue(answer.value);
        answers.push_back(std::move(item));
    }
    out["answers"] = std::move(answers);
    Json failures = Json::array();
    for (const auto& failure : faults.failures) {
        Json item;
        WriteSelector(item, failure.where);
        item["after"] = failure.after;
        item["number"] = failure.number;
        item["description"] = ToUtf8(failure.description);
        failures.push_back(std::move(item));
    }
    out["failures"] = std::move(failures);
    if (faults.disconnectAfterCall) out["dieAfterCalls"] = *faults.disconnectAfterCall;
    Json spells = Json::array();
    for (const auto& spell : faults.busySpells) {
        Json item{{"milliseconds", spell.milliseconds}};
        if (spell.afterUndoMark != 0) {
            item["afterUndoMark"] = spell.afterUndoMark;
        } else {
            item["afterSelection"] = spell.afterSelection;
        }
        spells.push_back(std::move(item));
    }
    out["busySpells"] = std::move(spells);
    return out;
}

// The CAD's automation conventions.

constexpr std::pair<EntityTypeNumbering, std::string_view> kNumberings[] = {
    {EntityTypeNumbering::kAutoCad, "autocad"},
    {EntityTypeNumbering::kIntelliCad, "intellicad"},
    {EntityTypeNumbering::kNotImplemented, "notImplemented"},
};

CadAutomation ReadAutomation(const Json& value, const std::string& where) {
    CheckKeys(value, {"entityType", "objectName"}, where);
    CadAutomation automation;
    if (value.contains("entityType")) {
        const std::string here = At(where, "entityType");
        if (!value["entityType"].is_string()) Fail(here, "expected a string");
        const auto name = value["entityType"].get<std::string>();
        bool known = false;
        for (const auto& [numbering, spelling] : kNumberings) {
            if (name == spelling) {
                automation.entityTypes = numbering;
                known = true;
            }
        }
        if (!known) Fail(here, "expected \"autocad\", \"intellicad\" or \"notImplemented\"");
    }
    if (value.contains("objectName")) {
        automation.objectNames = ReadBool(value["objectName"], At(where, "objectName"));
    }
    return automation;
}

Json WriteAutomation(const CadAutomation& automation) {
    Json out;
    for (const auto& [numbering, spelling] : kNumberings) {
        if (numbering == automation.entityTypes) out["entityType"] = std::string(spelling);
    }
    out["objectName"] = automation.objectNames;
    return out;
}

Json WriteCall(const CallRecord& record) {
    Json out;
    out["object"] = ToUtf8(ObjectKindName(record.objectKind));
    if (record.objectId != 0) out["id"] = record.objectId;
    out["member"] = ToUtf8(record.member);
    out["kind"] = ToUtf8(CallKindName(record.kind));
    out["arguments"] = ToUtf8(record.arguments);
    out["result"] = ToUtf8(record.result);
    if (record.failed) out["error"] = record.errorNumber;
    out["atMs"] = record.atMs;
    return out;
}

// One key per line, and one entity, set, group or call per line inside the lists.
std::string Layout(const Json& root) {
    auto compact = [](const Json& value) {
        return value.dump(-1, ' ', false, Json::error_handler_t::replace);
    };
    std::string text = "{";
    bool firstKey = true;
    for (const auto& item : root.items()) {
        text += firstKey ? "\n  " : ",\n  ";
        firstKey = false;
        text += compact(Json(item.key())) + ": ";
        const Json& value = item.value();
        if (value.is_array() && !value.empty() && value.front().is_structured()) {
            text += "[";
            for (std::size_t i = 0; i < value.size(); ++i)
                text += (i ? ",\n    " : "\n    ") + compact(value[i]);
            text += "\n  ]";
        } else {
            text += compact(value);
        }
    }
    return text + "\n}\n";
}

SimulationSetup ReadSetup(const Json& root) {
    const std::string where = "$";
    CheckKeys(root,
              {"caption", "name", "document", "documentOpen", "visible", "entities", "selectionSets",
               "groups", "selections", "faults", "automation", "commandLine", "prompts", "callCount", "calls",
               "undoSteps", "undoMarkOpen"},
              where);
    SimulationSetup setup;
    if (root.contains("caption")) setup.caption = ReadText(root["caption"], At(where, "caption"));
    if (root.contains("name")) setup.applicationName = ReadText(root["name"], At(where, "name"));
    if (root.contains("document")) setup.documentName = ReadText(root["document"], At(where, "document"));
    if (root.contains("documentOpen"))
        setup.documentOpen = ReadBool(root["documentOpen"], At(where, "documentOpen"));
    if (root.contains("visible")) setup.visible = ReadBool(root["visible"], At(where, "visible"));
    if (root.contains("entities")) {
        const std::string here = At(where, "entities");
        const Json& entities = ArrayOf(root["entities"], here);
        for (std::size_t i = 0; i < entities.size(); ++i) {
            try {
                setup.drawing.Add(ReadEntity(entities[i], At(here, i)));
            } catch (const std::invalid_argument& error) {
                Fail(At(here, i), error.what());
            }
        }
    }
    if (root.contains("selectionSets")) {
        setup.selectionSets = ReadNamedLists(root["selectionSets"], At(where, "selectionSets"));
    }
    if (root.contains("groups")) setup.groups = ReadNamedLists(root["groups"], At(where, "groups"));
    if (root.contains("selections")) {
        const std::string here = At(where, "selections");
        for (std::size_t i = 0; i < ArrayOf(root["selections"], here).size(); ++i) {
            setup.selections.push_back(ReadIds(root["selections"][i], At(here, i)));
        }
    }
    if (root.contains("faults")) setup.faults = ReadFaults(root["faults"], At(where, "faults"));
    if (root.contains("automation")) {
        setup.automation = ReadAutomation(root["automation"], At(where, "automation"));
    }
    return setup;
}

}  // namespace

SimulationSetup ParseSimulationSetup(std::string_view json) {
    Json root;
    try {
        root = Json::parse(json.begin(), json.end());
    } catch (const Json::parse_error& error) {
        throw SimulationFileError(std::string("not valid JSON: ") + error.what());
    }
    return ReadSetup(root);
}

SimulationSetup LoadSimulationSetup(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw SimulationFileError("cannot open " + file.string());
    std::ostringstream content;
    content << in.rdbuf();
    try {
        return ParseSimulationSetup(content.str());
    } catch (const SimulationFileError& error) {
        throw SimulationFileError(file.string() + ": " + error.what());
    }
}

std::string SimulationStateJson(const Simulation& simulation) {
    Json out;
    out["caption"] = ToUtf8(simulation.Caption());
    out["name"] = ToUtf8(simulation.ApplicationName());
    out["document"] = ToUtf8(simulation.DocumentName());
    out["documentOpen"] = simulation.DocumentOpen();
    out["visible"] = simulation.Visible();
    Json entities = Json::array();
    for (const auto& [id, entity] : simulation.CurrentDrawing().Entities())
        entities.push_back(WriteEntity(entity));
    out["entities"] = std::move(entities);
    out["selectionSets"] = WriteNamedLists(simulation.SelectionSets());
    out["groups"] = WriteNamedLists(simulation.Groups());
    out["selections"] = simulation.PendingSelectionList();
    out["faults"] = WriteFaults(simulation.CurrentFaults());
    out["automation"] = WriteAutomation(simulation.Automation());
    out["commandLine"] = ToUtf8(simulation.CommandLineText());
    Json prompts = Json::array();
    for (const auto& prompt : simulation.Prompts()) prompts.push_back(ToUtf8(prompt));
    out["prompts"] = std::move(prompts);
    out["undoSteps"] = simulation.UndoSteps();
    out["undoMarkOpen"] = simulation.UndoMarkOpen();
    out["callCount"] = simulation.CallCount();
    Json calls = Json::array();
    for (const auto& record : simulation.Calls()) calls.push_back(WriteCall(record));
    out["calls"] = std::move(calls);
    return Layout(out);
}

void SaveSimulationState(const Simulation& simulation, const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::binary);
    if (!out) throw SimulationFileError("cannot write " + file.string());
    out << SimulationStateJson(simulation);
    if (!out.flush()) throw SimulationFileError("cannot write " + file.string());
}

}  // namespace korvena::cadsim
