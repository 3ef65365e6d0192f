#pragma once
// Simulation files: a drawing with its CAD state read from JSON, and the state after a run written
// back. UTF-8 JSON; numbers are written so that they read back exactly.
//
// {
//   "caption": "AutoCAD - [map.dwg]",    Application.Caption (the CAD window's title)
//   "name": "AutoCAD",                   Application.Name
//   "document": "map.dwg",               Document.Name
//   "documentOpen": true,                false: no drawing open, ActiveDocument fails
//   "visible": false,                    Application.Visible
//   "entities": [                        in drawing order; "id" optional (next number), "color"
//                                        optional (256); every other key must belong to the kind
//     {"kind": "lwpolyline", "id": 1, "color": 256, "elevation": 0,
//      "vertices": [[0, 0], [10, 0, 0.5]], "closed": false, "width": 0},   [x, y] or [x, y, bulge]
//     {"kind": "polyline", "elevation": 5, "vertices": [[0, 0], [1, 1]]},
//     {"kind": "circle", "center": [0, 0, 0], "radius": 1},                points: [x, y] or [x, y, z]
//     {"kind": "arc", "center": [0, 0, 0], "radius": 1, "startAngle": 0, "endAngle": 3.14},
//     {"kind": "ellipse", "center": [0, 0, 0], "majorAxis": [2, 0, 0], "ratio": 0.5},
//     {"kind": "point", "coordinates": [1, 2, 3]},
//     {"kind": "blockReference", "insertionPoint": [1, 2, 0], "name": "SPOT"},
//     {"kind": "text", "insertionPoint": [3, 2, 0], "height": 2.5, "textString": "125.5"},
//     {"kind": "mtext", ...as text},
//     {"kind": "line", "start": [0, 0, 0], "end": [1, 1, 0]},
//     {"kind": "custom", "objectName": "AecDbWall", "insertionPoint": [5, 5, 0]}   an add-on's entity
//   ],
//   "selectionSets": [{"name": "old", "members": [1, 2]}],   present at the start
//   "groups": [{"name": "g", "members": [3]}],
//   "selections": [[2, 1], []],          scripted SelectOnScreen results, taken in order
//   "faults": {
//     "refusedColors": [7],
//     "missingMembers": [{"entityType": 24, "member": "Elevation"}],
//     "answers": [{"entityType": 8, "entityId": 3, "member": "Center", "value": {"doubles": [1, "nan"]}}],
//     "failures": [{"object": "ModelSpace", "member": "AddLine", "after": 1, "number": 5,
//                   "description": "..."}],
//     "dieAfterCalls": 40,               the calls after the 40th fail as on a disconnected server
//     "busySpells": [{"afterSelection": 1, "milliseconds": 3000},    busy once selection 1 has ended,
//                    {"afterUndoMark": 2, "milliseconds": 12000}]    or once the 2nd undo mark started
//   },
//   "automation": {                      how the CAD's entities say what they are (simulation_setup.h)
//     "entityType": "autocad",           or "intellicad" (that lineage's numbering), "notImplemented"
//     "objectName": true                 false: entities have no ObjectName
//   }
// }
// A member selector's "object" is Application, Document, Utility, SelectionSets, SelectionSet,
// ModelSpace, Groups, Group or Entity (the default); "entityType" (AutoCAD's code of the kind, -1 for
// a custom entity, whatever the CAD's numbering) and "entityId" (0: any) narrow an Entity. A value is one of
// {"empty": null}, {"bool": b}, {"int16": n}, {"int32": n},
// {"double": x or "nan" / "inf" / "-inf"}, {"string": s}, {"doubles": [x or "nan" ...]}.
//
// The state written after a run has the same keys (entities with their ids and current values, the
// live selection sets and groups, the selections still queued, the faults as they stand) and adds
// "commandLine" (all prompts joined), "prompts", "undoSteps" and "undoMarkOpen" (undo_history.h),
// "callCount" and "calls":
//   [{"object": "Entity", "id": 3, "member": "Color", "kind": "put", "arguments": "int16:2",
//     "result": "ok"}, ...]   with "error": number on a failed call (the result is then its
// description); values rendered as in call_record.h. Reading ignores these six keys, so a written
// state reads back as a setup.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cadsim/model/simulation.h"
#include "cadsim/model/simulation_setup.h"

namespace korvena::cadsim {

// A file that cannot be read or does not follow the schema; what() says where.
class SimulationFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

SimulationSetup ParseSimulationSetup(std::string_view json);
SimulationSetup LoadSimulationSetup(const std::filesystem::path& file);

std::string SimulationStateJson(const Simulation& simulation);
void SaveSimulationState(const Simulation& simulation, const std::filesystem::path& file);

}  // namespace korvena::cadsim
