#include "commands/scatter_point_assignment.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "cad/convert.h"
#include "cad/entity_identity.h"
#include "commands/doubtful_check_lines.h"

namespace korvena {

namespace {

using entity_type::kLwPolyline;

// An entity of the selection with its kind and the point that places it: a scatter point's
// reference point or a text's insertion point. Only X and Y are used.
struct PlacedEntity {
    DispatchPtr Entity;
    std::int32_t Kind = 0;
    double X = 0;
    double Y = 0;
};

// The property that holds the position of a scatter point of this kind (lightweight polylines are
// placed by their first vertex, Coordinate(0)); empty for a kind that is no scatter point.
std::wstring_view PositionMember(std::int32_t entityType) {
    switch (entityType) {
        case entity_type::kPoint:
            return L"Coordinates";
        case entity_type::kArc:
        case entity_type::kCircle:
        case entity_type::kEllipse:
            return L"center";
        case entity_type::kBlockReference:
            return L"InsertionPoint";
        default:
            return {};
    }
}

bool IsScatterPoint(std::int32_t entityType) {
    return entityType == kLwPolyline || !PositionMember(entityType).empty();
}

PlacedEntity Placed(DispatchPtr entity, std::int32_t kind) {
    const std::vector<double> point = kind == kLwPolyline
                                          ? ToDoubles(entity->Get(L"Coordinate", {std::int32_t{0}}), 2)
                                      : IsScatterPoint(kind) ? ToDoubles(entity->Get(PositionMember(kind)), 2)
                                                             : ToDoubles(entity->Get(L"InsertionPoint"), 2);
    return {std::move(entity), kind, point[0], point[1]};
}

// Ascending Y, then ascending X, compared exactly; equal points keep the selection order. More than the
// lists can take fails before anything is moved.
void PutInPositionOrder(std::vector<PlacedEntity>& list) {
    if (list.size() > kMaxScatterPairs) throw SubscriptOutOfRange();
    std::stable_sort(list.begin(), list.end(), [](const PlacedEntity& a, const PlacedEntity& b) {
        return a.Y != b.Y ? a.Y < b.Y : a.X < b.X;
    });
}

// The entities of the drawing one run holds at once: the selection, the points and texts, the check
// lines. However the run ends, what it still holds then goes to the frame, to be let go of after the
// command's last visible step (a dialog, the set's deletion) rather than in a burst before it.
struct HeldEntities {
    explicit HeldEntities(CommandFrame& frame) : f(frame) {}
    HeldEntities(const HeldEntities&) = delete;
    HeldEntities& operator=(const HeldEntities&) = delete;
    ~HeldEntities() {
        const auto handOver = [this](DispatchPtr& entity) {
            if (entity) f.LetGoAfterRun(std::move(entity));
        };
        for (DispatchPtr& entity : selection) handOver(entity);
        for (std::vector<PlacedEntity>* list : {&points, &texts}) {
            for (PlacedEntity& placed : *list) handOver(placed.Entity);
        }
        for (DispatchPtr& line : CheckLines) handOver(line);
    }

    CommandFrame& f;
    std::vector<DispatchPtr> selection;
    std::vector<PlacedEntity> points;  // ScatterPointList, then OrderedPoints
    std::vector<PlacedEntity> texts;   // ElevationTextList, then OrderedTexts
    std::vector<DispatchPtr> CheckLines;
};

DispatchPtr ActiveDocument(CommandFrame& f) {
    return ToObject(ToObject(f.Link().CadApp)->Get(L"ActiveDocument"));
}

// The check line of every pair in plan, from the positions read when the selection was collected.
std::vector<PlanLine> PlanLines(const std::vector<PlacedEntity>& points,
                                const std::vector<PlacedEntity>& texts) {
    std::vector<PlanLine> lines;
    lines.reserve(points.size());
    for (std::size_t k = 0; k < points.size(); ++k)
        lines.push_back({points[k].X, points[k].Y, texts[k].X, texts[k].Y});
    return lines;
}

// One line per pair, from the point to its text, both ends at Z = 0, all in the one document's model
// space; a doubtful line gets red where the others get yellow, in the same one Color put. Nothing can
// have moved since the points were read: the user has not had the CAD back yet.
void DrawCheckLines(CommandFrame& f, const DispatchPtr& document, const std::vector<PlanLine>& plan,
                    const std::vector<bool>& doubtful, HeldEntities& held) {
    const DispatchPtr modelSpace = ToObject(document->Get(L"ModelSpace"));
    for (std::size_t k = 0; k < plan.size(); ++k) {
        DispatchPtr line =
            ToObject(modelSpace->Call(L"AddLine", {std::vector<double>{plan[k].X1, plan[k].Y1, 0},
                                                   std::vector<double>{plan[k].X2, plan[k].Y2, 0}}));
        f.DrawnForChecking(line);
        held.CheckLines.push_back(line);
        line->Put(L"Color", doubtful[k] ? kDoubtfulCheckLineColour : kCheckLineColour);
    }
}

// The check lines are gathered in a group of their document under a fresh random name, so they can be
// found together.
void GroupCheckLines(CommandFrame& f, const DispatchPtr& document, const std::vector<DispatchPtr>& lines) {
    const std::wstring name = f.NewRandomName();
    const DispatchPtr group = ToObject(ToObject(document->Get(L"Groups"))->Call(L"Add", {name}));
    group->Call(L"AppendItems", {lines});
}

// The point takes the text's elevation: a lightweight polyline gets the text itself (the CAD converts
// it); the other kinds keep X and Y and take the text's number as Z. The position is read again: the
// user may have moved the point in the CAD while the check lines were shown.
void WriteElevation(const PlacedEntity& point, const PlacedEntity& text) {
    const std::wstring elevation = ToText(text.Entity->Get(L"textString"));
    if (point.Kind == kLwPolyline) {
        point.Entity->Put(L"Elevation", elevation);
        return;
    }
    const std::wstring_view member = PositionMember(point.Kind);
    const double z = TextNumber(elevation);
    const std::vector<double> position = ToDoubles(point.Entity->Get(member), 2);
    point.Entity->Put(member, std::vector<double>{position[0], position[1], z});
}

// Collects the selection's points and texts, pairs them by position, draws the check lines and, when
// the user answers 是, writes every pair; true then. Each pair and its line are let go of after their
// writes, so that after 是 every object of the drawing is gone before the closing line that tells the
// user the program is done; on every other end the frame lets go of them after the last visible step.
bool CheckAndWritePairs(CommandFrame& f, const DispatchPtr& set, std::int16_t PointColour) {
    HeldEntities held(f);
    // Every member is kept: the count decides before any is looked at further.
    held.selection = f.Members(set);
    const std::vector<DispatchPtr>& selection = held.selection;

    // Each entity's kind is asked once; the count pass and the collection use the same answer.
    std::vector<std::int32_t> kinds;
    std::int64_t TextCount = 0;
    for (const DispatchPtr& entity : selection) {
        kinds.push_back(f.EntityType(entity));
        if (IsElevationText(kinds.back())) ++TextCount;
    }
    const std::int64_t PointCount = static_cast<std::int64_t>(selection.size()) - TextCount;
    if (TextCount != PointCount) f.EndEarly(ScatterCountMessage(PointCount, TextCount));

    std::vector<PlacedEntity>& ScatterPointList = held.points;
    std::vector<PlacedEntity>& ElevationTextList = held.texts;
    for (std::size_t i = 0; i < selection.size(); ++i) {
        if (IsElevationText(kinds[i])) {
            ElevationTextList.push_back(Placed(std::move(held.selection[i]), kinds[i]));
        } else if (IsScatterPoint(kinds[i])) {
            ScatterPointList.push_back(Placed(std::move(held.selection[i]), kinds[i]));
        } else {
            f.EndEarly(kScatterNotAPointMessage);
        }
    }

    PutInPositionOrder(ScatterPointList);
    PutInPositionOrder(ElevationTextList);
    const std::vector<PlacedEntity>& OrderedPoints = held.points;
    const std::vector<PlacedEntity>& OrderedTexts = held.texts;
    const std::vector<PlanLine> plan = PlanLines(OrderedPoints, OrderedTexts);
    const std::vector<bool> doubtful = DoubtfulCheckLines(plan);
    // Two undo steps: the check lines with their group, then (after 是) the heights.
    // One document for the whole run, even when the user makes another drawing active meanwhile.
    const DispatchPtr document = ActiveDocument(f);
    f.BeginChanges();
    DrawCheckLines(f, document, plan, doubtful, held);
    GroupCheckLines(f, document, held.CheckLines);
    // Said once, with the lines in the drawing, before the user is asked about them.
    const auto doubtful_count = static_cast<std::size_t>(std::count(doubtful.begin(), doubtful.end(), true));
    if (doubtful_count > 0) f.CadPrompt(DoubtfulLinesNotice(doubtful_count));

    const int answer =
        f.Ask(kScatterCheckQuestion, kScatterCheckTitle, message_box::kYesNo | message_box::kInformation);
    if (answer != message_box::kYes) return false;
    f.BeginChanges();
    for (std::size_t k = 0; k < OrderedPoints.size(); ++k) {
        WriteElevation(OrderedPoints[k], OrderedTexts[k]);
        OrderedPoints[k].Entity->Put(L"Color", PointColour);
        OrderedTexts[k].Entity->Put(L"Color", PointColour);
        held.CheckLines[k]->Call(L"Delete");
        held.points[k].Entity.reset();
        held.texts[k].Entity.reset();
        held.CheckLines[k].reset();
    }
    f.EndChanges();
    return true;
}

}  // namespace

std::wstring ScatterCountMessage(std::int64_t points, std::int64_t texts) {
    return L"散点个数(" + NumberText(static_cast<double>(points)) + L")与散点高程个数(" +
           NumberText(static_cast<double>(texts)) + L")不相等！";
}

std::wstring DoubtfulLinesNotice(std::size_t count) {
    return L"有 " + std::to_wstring(count) + L" 条连线可能配错，已画成红色，请重点检查";
}

void ScatterPointAssignment(CommandContext& context) {
    CommandFrame frame(context);
    frame.Run([&context](CommandFrame& f) {
        const std::int16_t PointColour = ColourNumber(context.window.Text(Input::Text5));
        const DispatchPtr set = f.NewSelectionSet();
        f.CadPrompt(kScatterPrompt);
        f.SelectOnScreen(set);
        if (CheckAndWritePairs(f, set, PointColour)) f.CadPrompt(kScatterDoneNotice);
        f.DeleteSet(set);
    });
}

}  // namespace korvena
