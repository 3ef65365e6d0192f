#include "cadsim/server/command_strip.h"

namespace korvena::cadsim {

std::vector<std::wstring> CommandStripLines(std::wstring_view commandLine, bool selecting,
                                            std::size_t maxLines) {
    std::vector<std::wstring> lines(1);
    for (std::size_t i = 0; i < commandLine.size(); ++i) {
        const wchar_t c = commandLine[i];
        if (c != L'\n' && c != L'\r') {
            lines.back() += c;
            continue;
        }
        const wchar_t partner = c == L'\n' ? L'\r' : L'\n';
        if (i + 1 < commandLine.size() && commandLine[i + 1] == partner) ++i;
        lines.emplace_back();
    }
    if (lines.back().empty()) lines.pop_back();
    if (selecting) lines.emplace_back(kSelectObjectsPrompt);
    if (lines.size() > maxLines)
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(maxLines));
    return lines;
}

}  // namespace korvena::cadsim
