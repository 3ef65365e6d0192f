#pragma once
// Matching-contour assignment: the k-th contour the user selects takes the elevation of the k-th
// reference selected next (a contour that has its elevation, or an elevation text); with a single
// reference, every contour takes that one.

#include <cstdint>
#include <string>

#include "cad/frame.h"

namespace korvena {

inline constexpr std::wstring_view kMatchingTargetsPrompt =
    L"点选或Fence方法选择一根或多根【需赋值的等高线】";
inline constexpr std::wstring_view kMatchingReferencesPrompt =
    L"点选或Fence方法选择一根或多根与【需赋值的等高线】高程对应相等的等高线";

// "【需赋值的等高线】个数(nT)与【高程对应相等的等高线】个数(nR)不相等！"
std::wstring MatchingCountMessage(std::int32_t targets, std::int32_t references);

// Runs the whole command (the click of Command4). Never throws: failures end in a dialog.
void MatchingContourAssignment(CommandContext& context);

}  // namespace korvena
