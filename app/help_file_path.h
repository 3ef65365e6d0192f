#pragma once
// Where the help file lies: qel.chm in the folder of the executable. Plain string rules, no window
// header, tested on the host.

#include <string>
#include <string_view>

namespace korvena {

inline constexpr std::wstring_view kHelpFileName = L"qel.chm";

// The folder of an executable's full path, as the platform reports a program's folder: without a
// trailing backslash, except the root folder of a drive, which keeps it ("C:\korvena.exe" -> "C:\").
inline std::wstring ExecutableFolder(std::wstring_view executablePath) {
    const auto lastSlash = executablePath.find_last_of(L'\\');
    if (lastSlash == std::wstring_view::npos) {
        return {};
    }
    std::wstring folder(executablePath.substr(0, lastSlash));
    if (!folder.empty() && folder.back() == L':') {
        folder += L'\\';
    }
    return folder;
}

// The help file in `folder`, with exactly one backslash between folder and file name.
inline std::wstring HelpFilePath(std::wstring_view folder) {
    std::wstring path(folder);
    if (path.empty() || path.back() != L'\\') {
        path += L'\\';
    }
    path += kHelpFileName;
    return path;
}

}  // namespace korvena
