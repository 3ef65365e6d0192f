#pragma once
// Pick elevation: the height of a contour or elevation text the user picks in the drawing goes into
// Text1, so a sequential assignment can continue from a height already in the drawing.

#include "cad/frame.h"

namespace korvena {

inline constexpr std::wstring_view kPickPrompt = L"点选方法选择已赋高程的等高线或高程文本";

// Runs the whole command (the click of Command6). Never throws: failures end in a dialog.
void PickElevation(CommandContext& context);

}  // namespace korvena
