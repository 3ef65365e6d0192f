#include "commands/matching_contour_assignment.h"

#include <cmath>
#include <vector>

#include "cad/convert.h"
#include "commands/sequential_contour_assignment.h"

namespace korvena {

namespace {

// A reference as it was read: a text's textString or a contour's Elevation, converted only when used.
struct Reference {
    Variant value;
    bool isText = false;
};

// Texts give whole metres (the largest whole number not above the leading number); reference
// contours pass their elevation on exactly.
double ElevationFrom(const Reference& reference) {
    if (reference.isText) return std::floor(LeadingNumber(ToText(reference.value)));
    return ToDouble(reference.value);
}

}  // namespace

std::wstring MatchingCountMessage(std::int32_t targets, std::int32_t references) {
    return L"【需赋值的等高线】个数(" + NumberText(static_cast<double>(targets)) +
           L")与【高程对应相等的等高线】个数(" + NumberText(static_cast<double>(references)) + L")不相等！";
}

void MatchingContourAssignment(CommandContext& context) {
    CommandFrame frame(context);
    frame.Run([&context](CommandFrame& f) {
        const std::int16_t colour = ColourNumber(context.window.Text(Input::Text3));

        const DispatchPtr targets = f.NewSelectionSet();
        f.CadPrompt(kMatchingTargetsPrompt);
        f.SelectOnScreen(targets);
        const DispatchPtr references = f.NewSelectionSet();
        f.CadPrompt(kMatchingReferencesPrompt);
        f.SelectOnScreen(references);

        const std::int32_t targetCount = f.Count(targets);
        const std::int32_t referenceCount = f.Count(references);
        if (referenceCount != 1 && targetCount != referenceCount) {
            f.EndEarly(MatchingCountMessage(targetCount, referenceCount));
        }

        std::vector<Reference> table;
        f.Walk(references, [&](const DispatchPtr& entity) {
            const std::int32_t entityType = f.EntityType(entity);
            if (IsElevationText(entityType)) {
                table.push_back({entity->Get(L"textString"), true});
            } else if (IsContour(entityType)) {
                table.push_back({entity->Get(L"Elevation"), false});
            } else {
                f.EndEarly(kNotAContourMessage);
            }
        });

        f.BeginChanges();
        std::size_t k = 0;
        f.Walk(targets, [&](const DispatchPtr& entity) {
            if (!IsContour(f.EntityType(entity))) f.EndEarly(kNotAContourMessage);
            const std::size_t j = referenceCount == 1 ? 0 : k;
            // The counts were checked, but the walk answers what the CAD enumerates, not Count.
            if (j >= table.size()) throw SubscriptOutOfRange();
            entity->Put(L"Elevation", ElevationFrom(table[j]));
            entity->Put(L"Color", colour);
            ++k;
        });
        f.EndChanges();

        f.DeleteSet(targets);
        f.DeleteSet(references);
        f.CadPrompt(kContourDoneNotice);
    });
}

}  // namespace korvena
