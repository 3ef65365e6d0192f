#pragma once
// The HTML Help viewer of the system (hhctrl.ocx), loaded when help is first asked for.

#include <windows.h>

#include <string>

namespace korvena {

// Opens `helpFile` in the HTML Help viewer at its default topic, owned by `owner`. The viewer belongs
// to the help system: the program keeps no handle to it and never closes it. hhctrl.ocx is loaded
// from the system folder only, never from the program's folder; without it, or without the file,
// nothing happens.
void ShowHelpTopic(HWND owner, const std::wstring& helpFile) noexcept;

}  // namespace korvena
