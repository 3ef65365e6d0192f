#pragma once
// The commands of a soak, scripted: the four command kinds in turn, one in ten ending early through a
// rejected entity, a refused colour or a CAD error. For each block of commands: the drawing the
// simulator starts from (entities, the selections its user makes, the faults it injects), and for
// each command the inputs typed, the button clicked, the dialogs and their answers, and what the
// drawing and the main window hold afterwards.

#include <windows.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/form1_layout.h"

namespace korvena::e2e {

enum class CommandKind { Sequential, Matching, Scatter, Pick };
enum class EarlyEnd { None, RejectedEntity, RefusedColour, CadError };

const char* KindName(CommandKind kind);
const char* EarlyEndName(EarlyEnd end);

struct ExpectedBox {
    std::wstring title;
    std::wstring text;
    int answer = IDOK;
};

// After the command: the entity with this id has `value` under `key`.
struct EntityCheck {
    int id = 0;
    std::string key;
    nlohmann::json value;
};

struct SoakStep {
    int number = 0;  // from 1, over the whole soak
    CommandKind kind = CommandKind::Sequential;
    EarlyEnd early = EarlyEnd::None;
    form1::ControlId button = form1::ControlId::Command1;
    std::vector<std::pair<form1::ControlId, std::wstring>> inputs;  // typed before the click
    std::vector<ExpectedBox> boxes;                                 // in the order they come
    int selectionsTaken = 0;                                        // scripted selections the command takes
    int promptsAdded = 0;  // lines the command writes to the CAD command line
    std::vector<EntityCheck> checks;
    std::optional<std::wstring> text1After;  // what Text1 shows afterwards, when the command writes it
};

struct SoakBlock {
    std::string drawingJson;
    std::vector<SoakStep> steps;
};

// The colour the simulator refuses in every block.
inline constexpr int kRefusedColour = 13;

// Commands `first` to `first + count - 1` of the soak (counting from 0), with one drawing for them.
SoakBlock PlanBlock(int first, int count);

}  // namespace korvena::e2e
