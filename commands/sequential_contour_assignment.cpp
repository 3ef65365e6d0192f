#include "commands/sequential_contour_assignment.h"

#include <cmath>

#include "cad/convert.h"

namespace korvena {

namespace {

// Each elevation is computed afresh from the start, so no rounding error piles up along the run.
double ElevationOf(double start, std::int64_t k, double interval) {
    const double elevation = start + static_cast<double>(k) * interval;
    if (!std::isfinite(elevation)) throw Overflow();
    return elevation;
}

}  // namespace

void SequentialContourAssignment(CommandContext& context) {
    CommandFrame frame(context);
    frame.Run([&context](CommandFrame& f) {
        const DispatchPtr set = f.NewSelectionSet();
        f.CadPrompt(kSequentialPrompt);
        f.SelectOnScreen(set);

        // The inputs are read only now, so the user may still change them while selecting.
        const double start = LeadingNumber(context.window.Text(Input::Text1));
        const double interval = LeadingNumber(context.window.Text(Input::Text2));
        const std::int16_t colour = ColourNumber(context.window.Text(Input::Text3));

        f.BeginChanges();
        std::int64_t k = 0;
        f.Walk(set, [&](const DispatchPtr& entity) {
            if (!IsContour(f.EntityType(entity))) f.EndEarly(kNotAContourMessage);
            entity->Put(L"Elevation", ElevationOf(start, k, interval));
            entity->Put(L"Color", colour);
            ++k;
        });
        f.EndChanges();

        f.PromptRaw(L"======最后选择的等高线高程为 " + NumberText(ElevationOf(start, k - 1, interval)) +
                    L" ======\n\r");
        f.CadPrompt(kContourDoneNotice);
        context.window.FocusText1();
        f.DeleteSet(set);
    });
}

}  // namespace korvena
