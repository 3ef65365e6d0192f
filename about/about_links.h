#pragma once
// Where the About window and the main window's web-link button lead: the maker's web site, the
// organisation's site and the author's e-mail. Plain constants and one rule, no window header.

#include <string>
#include <string_view>

namespace korvena::about {

// The maker's web site; the main window's web-link button opens it too.
inline constexpr std::wstring_view MakerSiteAddress = L"http://lunebrook.example/";
// The same address as the window shows it in its link label.
inline constexpr std::wstring_view kMakerSiteText = L"lunebrook.example";
inline constexpr std::wstring_view kMakerName = L"Lunebrook";

inline constexpr std::wstring_view kOrganisationName = L"北川测绘信息工作室";
inline constexpr std::wstring_view kOrganisationSiteAddress = L"http://www.beichuan-survey.example/";

inline constexpr std::wstring_view kAuthorName = L"林沐川";
inline constexpr std::wstring_view kAuthorMail = L"lin@lunebrook.example";

// What a click on a control of the About window does.
enum class Click {
    None,
    OpenMakerSite,
    OpenOrganisationSite,
    MailAuthor,
    Close,
};

// What the shell is asked to open for a click; empty when the click opens nothing.
inline std::wstring ShellTarget(Click click) {
    switch (click) {
        case Click::OpenMakerSite:
            return std::wstring(MakerSiteAddress);
        case Click::OpenOrganisationSite:
            return std::wstring(kOrganisationSiteAddress);
        case Click::MailAuthor:
            return L"mailto:" + std::wstring(kAuthorMail);
        case Click::None:
        case Click::Close:
            break;
    }
    return {};
}

}  // namespace korvena::about
