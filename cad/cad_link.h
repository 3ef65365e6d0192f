#pragma once
// CadLink: the program's references to the CAD application, its active document and that document's
// utility object, refreshed by ConnectCad at the start of every command.

#include <vector>

#include "cad/dispatch.h"
#include "cad/platform.h"

namespace korvena {

inline constexpr std::wstring_view kCadProgId = L"AutoCAD.Application";

struct CadLink {
    DispatchPtr CadApp;
    DispatchPtr CadDoc;
    DispatchPtr CadUtility;
    // Selection sets of a command the user gave up on while the CAD was busy: they could not be
    // deleted then, and are deleted when the next command starts.
    std::vector<DispatchPtr> LeftoverSets;
};

// Attaches to the running CAD or starts one, makes it visible, refreshes CadDoc and CadUtility and
// brings the CAD window to the front. A step that fails leaves its reference as it was; only a CAD
// that can be neither attached nor started is reported (one message box with the platform's
// description). Never throws an AutomationError; a user who gives up on a busy CAD ends the command
// (CadBusyCancelled).
void ConnectCad(CadLink& link, Platform& platform);

}  // namespace korvena
