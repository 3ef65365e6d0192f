#pragma once
// Sequential contour assignment: the contours the user selects, in the order of their heights, get
// start, start + interval, start + 2 x interval, ... and the contour colour number.

#include "cad/frame.h"

namespace korvena {

inline constexpr std::wstring_view kSequentialPrompt =
    L"根据等高线高程大小，点选或Fence方法选择一根或多根等高线";
inline constexpr std::wstring_view kContourDoneNotice = L"等高线高程赋值完成，请核查！";

// Runs the whole command (the click of Command1). Never throws: failures end in a dialog.
void SequentialContourAssignment(CommandContext& context);

}  // namespace korvena
