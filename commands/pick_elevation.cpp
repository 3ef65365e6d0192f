#include "commands/pick_elevation.h"

#include <cmath>

#include "cad/convert.h"

namespace korvena {

void PickElevation(CommandContext& context) {
    CommandFrame frame(context);
    frame.Run([&context](CommandFrame& f) {
        const DispatchPtr set = f.NewSelectionSet();
        f.CadPrompt(kPickPrompt);
        f.SelectOnScreen(set);

        // Every entity is read; the last one in the set's order decides. Any entity with an
        // Elevation is accepted, contour or not.
        double picked = 0;
        f.Walk(set, [&](const DispatchPtr& entity) {
            if (IsElevationText(f.EntityType(entity))) {
                picked = std::floor(LeadingNumber(ToText(entity->Get(L"textString"))));
            } else {
                picked = ToDouble(entity->Get(L"Elevation"));
            }
        });

        context.window.SetText(Input::Text1, DisplayNumberText(picked));
        f.DeleteSet(set);
    });
}

}  // namespace korvena
