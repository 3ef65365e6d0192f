#pragma once
// CadLink: the program's references to the CAD application, its active document and that document's
// utility object, refreshed by ConnectCad at the start of every command.

#include <string>
#include <string_view>
#include <vector>

#include "cad/dispatch.h"
#include "cad/entity_identity.h"
#include "cad/platform.h"

namespace korvena {

// The class names of the CADs the program works with; the one table of them.
//   AutoCAD: "AutoCAD.Application" names the version installed last; each version also registers
//   "AutoCAD.Application.<major>[.<minor>]" (15 is R2000).
//   Compatible CADs, each by the names its maker gives its application class, in the order they are
//   tried.
inline constexpr std::wstring_view kCadProgId = L"AutoCAD.Application";
inline constexpr int kOldestAutoCadMajor = 15;  // R2000
inline constexpr int kNewestAutoCadMajor = 28;  // a few beyond the newest release known (25)
inline constexpr int kHighestAutoCadMinor = 3;
inline constexpr std::wstring_view kCompatibleCadProgIds[] = {
    L"ZWCAD.Application",
    L"GStarCAD.Application",
    L"Gcad.Application",
    L"BricscadApp.AcadApplication",
};

// The version-specific AutoCAD class names, newest first: 28.3, 28.2, 28.1, 28, 27.3, ... 15.
std::vector<std::wstring> AutoCadVersionProgIds();

// What the class name a CAD was reached under says about its entities: AutoCAD (kCadProgId and its
// version-specific names) numbers them as the commands do; no other CAD is known to.
EntityIdentity IdentityFor(std::wstring_view progId);

// What the program has open in the CAD and must close: the document of an undo step a command started,
// the selection sets it created, and the check lines it drew that the user has not been shown yet. A
// command keeps them here while it runs and takes out what it closes. One the user gave up on while the
// CAD was busy leaves the rest here: the program closes them quietly once the CAD is free, the next
// command closes them first, and the program's end gives the CAD a moment to take them.
struct OpenInCad {
    DispatchPtr UndoDocument;
    std::vector<DispatchPtr> Sets;
    std::vector<DispatchPtr> CheckLines;

    bool Empty() const noexcept { return !UndoDocument && Sets.empty() && CheckLines.empty(); }
};

struct CadLink {
    DispatchPtr CadApp;
    DispatchPtr CadDoc;
    DispatchPtr CadUtility;
    // How CadApp's entities are asked what they are, from the class name it was reached under.
    EntityIdentity Identity = EntityIdentity::kEntityType;
    OpenInCad Open;
    // Objects of the drawing a finished command held. COM releases each with a call of its own to the CAD,
    // so a command lets go of many only after its last visible step, through this list; the program lets
    // go of them a few at a time while no command runs.
    std::vector<DispatchPtr> ToLetGoOf;
};

// Attaches to a running CAD or starts one, makes it visible, refreshes CadDoc and CadUtility and
// brings the CAD window to the front. The CAD is, the first that answers of:
//   1. the running "AutoCAD.Application";
//   2. any other running AutoCAD, by its version's class name, newest first;
//   3. a running compatible CAD;
//   4. a new "AutoCAD.Application"; when AutoCAD is not installed, a new instance of the first
//      compatible CAD that is.
// CadApp and Identity are set together. A step that fails leaves its reference as it was; only a CAD that can
// be neither attached nor started is reported (one message box with the platform's description of the first
// start attempt's failure). Never throws an AutomationError; a user who gives up on a busy CAD ends the
// command (CadBusyCancelled).
void ConnectCad(CadLink& link, Platform& platform);

}  // namespace korvena
