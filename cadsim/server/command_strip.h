#pragma once
// The command line strip at the bottom of the simulator's window: the last lines of what was written
// to the command line and, while a selection waits for the user, the selection prompt.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvena::cadsim {

inline constexpr std::wstring_view kSelectObjectsPrompt = L"选择对象:";

// The lines of the command line text, at most `maxLines` of them, the newest last. A line feed, a
// carriage return, or the two together in either order end a line; the break after the last prompt
// leaves no empty line behind. While `selecting`, the selection prompt is the last line.
std::vector<std::wstring> CommandStripLines(std::wstring_view commandLine, bool selecting,
                                            std::size_t maxLines);

}  // namespace korvena::cadsim
