#pragma once
// What a simulation starts from: the CAD's application and document state, the drawing, selection
// sets and groups already present, the selections scripted for SelectOnScreen, and injected faults.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cadsim/model/drawing.h"
#include "cadsim/model/faults.h"

namespace korvena::cadsim {

// A selection set or a group: its name and its members' entity ids, in the set's own order.
struct NamedEntityList {
    std::wstring name{};
    std::vector<int> entityIds{};

    friend bool operator==(const NamedEntityList&, const NamedEntityList&) = default;
};

// How the CAD's automation says what an entity is.
enum class EntityTypeNumbering {
    kAutoCad,         // AutoCAD's codes (a 32-bit integer)
    kIntelliCad,      // the IntelliCAD lineage's own codes (IntelliCadEntityType, a 16-bit integer)
    kNotImplemented,  // every entity's EntityType fails with E_NOTIMPL, as an SDK template's wrapper does
};
struct CadAutomation {
    EntityTypeNumbering entityTypes = EntityTypeNumbering::kAutoCad;
    bool objectNames = true;  // false: entities lack ObjectName (438), as the IntelliCAD lineage's did

    friend bool operator==(const CadAutomation&, const CadAutomation&) = default;
};

// Asked by SelectOnScreen when no scripted selection is left: the ids the user picked, in picking
// order. Gets the name of the set being filled.
using Selector = std::function<std::vector<int>(std::wstring_view setName)>;

struct SimulationSetup {
    std::wstring caption = L"AutoCAD - [Drawing1.dwg]";  // Application.Caption, the CAD window's title
    std::wstring applicationName = L"AutoCAD";           // Application.Name
    std::wstring documentName = L"Drawing1.dwg";         // Document.Name
    bool documentOpen = true;                            // false: ActiveDocument fails
    bool visible = false;                                // Application.Visible at the start
    Drawing drawing{};
    std::vector<NamedEntityList> selectionSets{};  // present in the document at the start
    std::vector<NamedEntityList> groups{};         // present in the drawing at the start
    std::vector<std::vector<int>> selections{};    // taken by SelectOnScreen one after another
    Faults faults{};
    CadAutomation automation{};
};

}  // namespace korvena::cadsim
