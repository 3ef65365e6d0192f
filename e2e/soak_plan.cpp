#include "e2e/soak_plan.h"

#include "cad/frame.h"
#include "commands/scatter_point_assignment.h"

namespace korvena::e2e {

namespace {

using form1::ControlId;
using nlohmann::json;

constexpr int kUntouchedColour = 7;

// The drawing of one block: entities numbered from 1, the selections in the order the commands take
// them, and the faults.
class DrawingBuilder {
public:
    int Add(json entity) {
        entity["id"] = ++lastId_;
        entity["color"] = kUntouchedColour;
        entities_.push_back(std::move(entity));
        return lastId_;
    }
    void Select(std::vector<int> ids) { selections_.push_back(std::move(ids)); }
    // Every call of the member on the entity fails, as a CAD error.
    void Fail(int id, const std::string& member) {
        failures_.push_back({{"entityId", id}, {"member", member}});
    }

    std::string Json() const {
        return json{{"caption", "CadSim - [soak.dwg]"},
                    {"entities", entities_},
                    {"selections", selections_},
                    {"faults", {{"refusedColors", {kRefusedColour}}, {"failures", failures_}}}}
            .dump();
    }

private:
    int lastId_ = 0;
    json entities_ = json::array();
    json selections_ = json::array();
    json failures_ = json::array();
};

// Where a command's entities lie: a square of its own, so that the drawing stays readable.
struct Place {
    double x;
    double y;
};

json Contour(Place at, double dy, const char* kind = "lwpolyline") {
    return {{"kind", kind}, {"vertices", {{at.x, at.y + dy}, {at.x + 40, at.y + dy}}}};
}
json ContourAt(Place at, double dy, double elevation) {
    json contour = Contour(at, dy);
    contour["elevation"] = elevation;
    return contour;
}
json Circle(Place at, double dx, double dy) {
    return {{"kind", "circle"}, {"center", {at.x + dx, at.y + dy, 0.0}}, {"radius", 2.0}};
}
json Text(Place at, double dx, double dy, const char* text, const char* kind = "text") {
    return {{"kind", kind},
            {"insertionPoint", {at.x + dx, at.y + dy, 0.0}},
            {"height", 3.0},
            {"textString", text}};
}

ExpectedBox ErrorBox(std::wstring_view text) {
    return {std::wstring(kErrorTitle), std::wstring(text), IDOK};
}
ExpectedBox CheckBox(int answer) {
    return {std::wstring(kScatterCheckTitle), std::wstring(kScatterCheckQuestion), answer};
}

void Sequential(SoakStep& step, DrawingBuilder& drawing, Place at, int colour) {
    const int start = 100 + step.number % 50;
    const double first = start + 0.5;
    step.button = ControlId::Command1;
    step.inputs = {
        {ControlId::Text1, std::to_wstring(start) + L".5"},
        {ControlId::Text2, L"5"},
        {ControlId::Text3, std::to_wstring(step.early == EarlyEnd::RefusedColour ? kRefusedColour : colour)}};
    step.selectionsTaken = 1;
    const int a = drawing.Add(Contour(at, 0));
    switch (step.early) {
        case EarlyEnd::None: {
            const int b = drawing.Add(Contour(at, 10, "polyline"));
            drawing.Select({a, b});
            step.promptsAdded = 3;  // the prompt, the last elevation, the closing line
            step.checks = {{a, "elevation", first},
                           {a, "color", colour},
                           {b, "elevation", first + 5},
                           {b, "color", colour}};
            return;
        }
        case EarlyEnd::RejectedEntity: {
            const int circle = drawing.Add(Circle(at, 20, 20));
            drawing.Select({a, circle});
            step.boxes = {ErrorBox(kNotAContourMessage)};
            step.checks = {{a, "elevation", first}, {circle, "color", kUntouchedColour}};
            break;
        }
        case EarlyEnd::RefusedColour:
            drawing.Select({a});
            step.boxes = {ErrorBox(kUnknownErrorMessage)};
            step.checks = {{a, "elevation", first}, {a, "color", kUntouchedColour}};
            break;
        case EarlyEnd::CadError: {
            const int b = drawing.Add(Contour(at, 10));
            drawing.Fail(b, "Elevation");
            drawing.Select({a, b});
            step.boxes = {ErrorBox(kUnknownErrorMessage)};
            step.checks = {{a, "color", colour}, {b, "color", kUntouchedColour}};
            break;
        }
    }
    step.promptsAdded = 1;
}

// Targets a and b take 120 (from the text 120.9) and 130.25 (from a reference contour).
void Matching(SoakStep& step, DrawingBuilder& drawing, Place at, int colour) {
    step.button = ControlId::Command4;
    step.inputs = {
        {ControlId::Text3, std::to_wstring(step.early == EarlyEnd::RefusedColour ? kRefusedColour : colour)}};
    step.selectionsTaken = 2;
    step.promptsAdded = 2;  // the two prompts; the closing line only on success
    const int a = drawing.Add(Contour(at, 0));
    const int text = drawing.Add(Text(at, 50, 0, "120.9"));
    switch (step.early) {
        case EarlyEnd::None: {
            const int b = drawing.Add(Contour(at, 10, "polyline"));
            const int reference = drawing.Add(ContourAt(at, 20, 130.25));
            drawing.Select({a, b});
            drawing.Select({text, reference});
            step.promptsAdded = 3;
            step.checks = {{a, "elevation", 120.0},
                           {a, "color", colour},
                           {b, "elevation", 130.25},
                           {b, "color", colour}};
            break;
        }
        case EarlyEnd::RejectedEntity: {
            const int circle = drawing.Add(Circle(at, 20, 20));
            drawing.Select({a});
            drawing.Select({circle});
            step.boxes = {ErrorBox(kNotAContourMessage)};
            step.checks = {{a, "color", kUntouchedColour}};
            break;
        }
        case EarlyEnd::RefusedColour:
            drawing.Select({a});
            drawing.Select({text});
            step.boxes = {ErrorBox(kUnknownErrorMessage)};
            step.checks = {{a, "elevation", 120.0}, {a, "color", kUntouchedColour}};
            break;
        case EarlyEnd::CadError: {
            const int b = drawing.Add(Contour(at, 10));
            drawing.Fail(b, "Elevation");
            drawing.Select({a, b});
            drawing.Select({text, text});
            step.boxes = {ErrorBox(kUnknownErrorMessage)};
            step.checks = {{a, "elevation", 120.0}, {b, "color", kUntouchedColour}};
            break;
        }
    }
}

// A circle with the text 123.45 above a block reference with the multi-line text 98.7.
void Scatter(SoakStep& step, DrawingBuilder& drawing, Place at, int colour, int answer) {
    step.button = ControlId::Command5;
    step.inputs = {
        {ControlId::Text5, std::to_wstring(step.early == EarlyEnd::RefusedColour ? kRefusedColour : colour)}};
    step.selectionsTaken = 1;
    step.promptsAdded = 1;
    const int circle = drawing.Add(Circle(at, 10, 50));
    const int circleText = drawing.Add(Text(at, 14, 50, "123.45"));
    const int block = drawing.Add(
        {{"kind", "blockReference"}, {"insertionPoint", {at.x + 10, at.y + 10, 0.0}}, {"name", "SPOT"}});
    const int blockText = drawing.Add(Text(at, 14, 10, "98.7", "mtext"));
    switch (step.early) {
        case EarlyEnd::None:
            drawing.Select({circle, circleText, block, blockText});
            step.boxes = {CheckBox(answer)};
            if (answer == IDYES) {
                step.promptsAdded = 2;
                step.checks = {{circle, "center", {at.x + 10, at.y + 50, 123.45}},
                               {block, "insertionPoint", {at.x + 10, at.y + 10, 98.7}}};
                for (int id : {circle, circleText, block, blockText})
                    step.checks.push_back({id, "color", colour});
            } else {
                for (int id : {circle, circleText, block, blockText})
                    step.checks.push_back({id, "color", kUntouchedColour});
            }
            break;
        case EarlyEnd::RejectedEntity: {
            const int line =
                drawing.Add({{"kind", "line"}, {"start", {at.x, at.y, 0.0}}, {"end", {at.x + 5, at.y, 0.0}}});
            drawing.Select({circle, circleText, line, blockText});
            step.boxes = {ErrorBox(kScatterNotAPointMessage)};
            step.checks = {{circle, "color", kUntouchedColour}};
            break;
        }
        case EarlyEnd::RefusedColour:
            // Answered 是: the lower pair's height is written, then its colour is refused.
            drawing.Select({circle, circleText, block, blockText});
            step.boxes = {CheckBox(IDYES), ErrorBox(kUnknownErrorMessage)};
            step.checks = {{block, "insertionPoint", {at.x + 10, at.y + 10, 98.7}},
                           {block, "color", kUntouchedColour},
                           {circle, "center", {at.x + 10, at.y + 50, 0.0}}};
            break;
        case EarlyEnd::CadError:
            drawing.Fail(circle, "center");
            drawing.Select({circle, circleText, block, blockText});
            step.boxes = {ErrorBox(kUnknownErrorMessage)};
            step.checks = {{block, "color", kUntouchedColour}};
            break;
    }
}

// Text1 is set to 1 first, so that what the command writes shows.
void Pick(SoakStep& step, DrawingBuilder& drawing, Place at) {
    step.button = ControlId::Command6;
    step.inputs = {{ControlId::Text1, L"1"}};
    step.selectionsTaken = 1;
    step.promptsAdded = 1;
    switch (step.early) {
        case EarlyEnd::None:
            if (step.number % 8 < 4) {
                drawing.Select({drawing.Add(Text(at, 0, 0, "130.6"))});
                step.text1After = L"130";
            } else {
                drawing.Select({drawing.Add(ContourAt(at, 0, 125.5))});
                step.text1After = L"125.5";
            }
            return;
        case EarlyEnd::RejectedEntity:
            // A circle has no elevation: the CAD lacks the member for it.
            drawing.Select({drawing.Add(Circle(at, 10, 10))});
            step.boxes = {ErrorBox(kOldCadMessage)};
            break;
        case EarlyEnd::RefusedColour:  // the pick writes no colour: a CAD error stands in
        case EarlyEnd::CadError: {
            const int contour = drawing.Add(ContourAt(at, 0, 125.5));
            drawing.Fail(contour, "Elevation");
            drawing.Select({contour});
            step.boxes = {ErrorBox(kUnknownErrorMessage)};
            break;
        }
    }
    step.text1After = L"1";
}

// In each ten commands one ends early. Which one moves on by one kind per ten (the kinds come in turn,
// so command 10g + (g mod 4) is of kind 3g mod 4), and the way it ends goes round the three ways.
EarlyEnd EarlyEndOf(int command) {
    const int ten = command / 10;
    if (command % 10 != ten % 4) return EarlyEnd::None;
    constexpr EarlyEnd kWays[] = {EarlyEnd::RejectedEntity, EarlyEnd::RefusedColour, EarlyEnd::CadError};
    return kWays[ten % 3];
}

}  // namespace

const char* KindName(CommandKind kind) {
    switch (kind) {
        case CommandKind::Sequential:
            return "sequential";
        case CommandKind::Matching:
            return "matching";
        case CommandKind::Scatter:
            return "scatter";
        case CommandKind::Pick:
            return "pick";
    }
    return "?";
}

const char* EarlyEndName(EarlyEnd end) {
    switch (end) {
        case EarlyEnd::None:
            return "done";
        case EarlyEnd::RejectedEntity:
            return "rejected entity";
        case EarlyEnd::RefusedColour:
            return "refused colour";
        case EarlyEnd::CadError:
            return "CAD error";
    }
    return "?";
}

SoakBlock PlanBlock(int first, int count) {
    DrawingBuilder drawing;
    SoakBlock block;
    int scatters = first / 4;  // scatter runs before this block, to alternate 是 and 否 over the soak
    for (int i = first; i < first + count; ++i) {
        SoakStep step;
        step.number = i + 1;
        step.kind = static_cast<CommandKind>(i % 4);
        step.early = EarlyEndOf(i);
        const int local = i - first;
        const Place at{100.0 * (local % 10), 100.0 * (local / 10)};
        const int colour = 20 + i % 200;
        switch (step.kind) {
            case CommandKind::Sequential:
                Sequential(step, drawing, at, colour);
                break;
            case CommandKind::Matching:
                Matching(step, drawing, at, colour);
                break;
            case CommandKind::Scatter:
                Scatter(step, drawing, at, colour, scatters++ % 2 == 0 ? IDYES : IDNO);
                break;
            case CommandKind::Pick:
                Pick(step, drawing, at);
                break;
        }
        block.steps.push_back(std::move(step));
    }
    block.drawingJson = drawing.Json();
    return block;
}

}  // namespace korvena::e2e
