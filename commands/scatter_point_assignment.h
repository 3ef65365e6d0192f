#pragma once
// Scatter-point automatic assignment: every spot-height symbol the user selects takes the elevation
// written in its label. Symbols and labels are paired by rank in position order (Y, then X), the
// pairs are shown as check lines, and only after the user confirms are elevations and colours
// written.

#include "cad/frame.h"

namespace korvena {

inline constexpr std::wstring_view kScatterPrompt = L"选择一个或多个散点、散点文本";
inline constexpr std::wstring_view kScatterNotAPointMessage =
    L"不能识别散点对象，请选择多段线、圆、圆弧、椭圆、块、圆环！   ";
inline constexpr std::wstring_view kScatterCheckTitle = L"检查";
inline constexpr std::wstring_view kScatterCheckQuestion =
    L"请检查散点到散点高程的连线是否正确？\n\r\n\r是，程序将把散点高程赋给散点\n\r\n\r"
    L"否，请缩小选择的范围或修改散点高程文本的位置后再采用自动赋值    ";
inline constexpr std::wstring_view kScatterDoneNotice = L"散点高程赋值完成，请核查！";

// At most this many pairs are ordered in one run; more end the command before anything is drawn.
inline constexpr std::size_t kMaxScatterPairs = 500;
inline constexpr std::int16_t kCheckLineColour = 2;
// A check line that looks wrong (crossing another, or far longer than the rest) is drawn in red instead.
inline constexpr std::int16_t kDoubtfulCheckLineColour = 1;

// "有 N 条连线可能配错，已画成红色，请重点检查", written before the user is asked when N > 0.
std::wstring DoubtfulLinesNotice(std::size_t count);

// "散点个数(P)与散点高程个数(T)不相等！"
std::wstring ScatterCountMessage(std::int64_t points, std::int64_t texts);

// Runs the whole command (the click of Command5). Never throws: failures end in a dialog.
void ScatterPointAssignment(CommandContext& context);

}  // namespace korvena
