#pragma once
// CadLink: the program's references to the CAD application, its active document and that document's
// utility object, refreshed by ConnectCad at the start of every command.

#include "cad/dispatch.h"
#include "cad/platform.h"

namespace korvena {

inline constexpr std::wstring_view kCadProgId = L"AutoCAD.Application";

struct CadLink {
    DispatchPtr CadApp;
    DispatchPtr CadDoc;
    DispatchPtr CadUtility;
};

// Attaches to the running CAD or starts one, makes it visible, refreshes CadDoc and CadUtility and
// brings the CAD window to the front. A step that fails leaves its reference as it was; only a CAD
// that can be neither attached nor started is reported (one message box with the platform's
// description). Never throws an AutomationError.
void ConnectCad(CadLink& link, Platform& platform);

}  // namespace korvena
