// The help button and the web link end to end: korvena.exe started for real, the About window it
// shows driven from outside, the help viewer asked for with and without the help file.
//
//   help_and_web_link_test <korvena.exe> <qel.chm> <recorder> <recorder's log>
//
// The recorder, a Unix program, stands in for the browser and the mail program: Wine's shell hands
// web and mailto addresses to winebrowser, which runs the programs named in the prefix's settings.

#include <gtest/gtest.h>
#include <wctype.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/support/about_window.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"
#include "e2e/support/user_setting.h"
// After windows.h, whose types it uses.
#include <tlhelp32.h>

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using AboutId = about::ControlId;

struct Arguments {
    std::filesystem::path helpFile;
    std::wstring recorder;  // a Unix path
    std::filesystem::path recorderLog;
};

Arguments& Given() {
    static Arguments arguments;
    return arguments;
}

// What the recorder was asked to open, sorted (the shell starts each opener on its own).
std::vector<std::string> Opened() {
    std::vector<std::string> lines;
    std::ifstream log(Given().recorderLog);
    for (std::string line; std::getline(log, line);) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

RECT ClientOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

POINT Centre(const RECT& r) {
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// The main window takes input again: Tab moves the focus from the web-link button to the exit button.
void ExpectMainWindowReacts(const KorvenaWindow& korvena) {
    EXPECT_TRUE(IsWindowEnabled(korvena.Handle()));
    ASSERT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::xpcmdbutton7; }, 10s));
    korvena.PressKey(VK_TAB, L'\t');
    EXPECT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::Command3; }, 10s));
}

// The recorder as browser and mail program, an empty record.
class WebLink : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::remove(Given().recorderLog); }

    UserSetting browser{L"Software\\Wine\\WineBrowser", L"Browsers", Given().recorder};
    UserSetting mailer{L"Software\\Wine\\WineBrowser", L"Mailers", Given().recorder};
};

TEST_F(WebLink, ShowsTheAboutWindowModallyUntilOk) {
    KorvenaWindow korvena;
    korvena.Click(ControlId::xpcmdbutton7);
    const AboutWindow about(korvena.ProcessId(), 10s);

    EXPECT_FALSE(IsWindowEnabled(korvena.Handle()));                   // the main window takes no input
    EXPECT_EQ(GetWindow(about.Handle(), GW_OWNER), korvena.Handle());  // owned: not in the taskbar
    EXPECT_FALSE(GetWindowLongW(about.Handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const LONG style = GetWindowLongW(about.Handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    wchar_t title[64]{};
    GetWindowTextW(about.Handle(), title, 64);
    EXPECT_STREQ(title, L"Lunebrook");

    // 5100 x 2160 twips at 15 twips per pixel; the header band runs on beyond the right edge.
    const RECT client = ClientOnScreen(about.Handle());
    EXPECT_EQ(client.right - client.left, 340);
    EXPECT_EQ(client.bottom - client.top, 144);
    const RECT head = about.ScreenRect(AboutId::picBGHead);
    EXPECT_EQ(head.right - head.left, 386);
    EXPECT_EQ(head.left, client.left);
    EXPECT_EQ(head.top, client.top);

    RECT outer{};
    GetWindowRect(about.Handle(), &outer);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(outer.left, (screenWidth - (outer.right - outer.left)) / 2.0, 1.0);
    EXPECT_NEAR(outer.top, (screenHeight - (outer.bottom - outer.top)) / 3.0, 1.0);

    EXPECT_EQ(about.Text(AboutId::Label2), L"作 者：");
    EXPECT_EQ(about.Text(AboutId::Label3), L"单 位：");
    EXPECT_EQ(about.Text(AboutId::Label5), L"E-mail：");
    EXPECT_EQ(about.Text(AboutId::Label6), L"软件下载：");
    EXPECT_EQ(about.Text(AboutId::Command1), L"  确  定");
    EXPECT_NE(about.Text(AboutId::lblBGHeadInfo1).find(L'－'), std::wstring::npos);

    // Above the topmost main window where the two overlap.
    const POINT ok = Centre(about.ScreenRect(AboutId::Command1));
    EXPECT_EQ(WindowFromPoint(ok), about.Control(AboutId::Command1));

    // The site opened before the window came; each link opens its target and leaves the window open.
    EXPECT_TRUE(WaitFor([] { return Opened().size() == 1; }, 10s));
    // Each link's target is recorded before the next is clicked; the caption "作 者：" opens nothing.
    for (const AboutId link : {AboutId::Label4, AboutId::Label9, AboutId::lblHomepage, AboutId::picBGHeadIcon,
                               AboutId::lblBGHeadInfo1}) {
        const std::size_t before = Opened().size();
        about.Click(link);
        EXPECT_TRUE(WaitFor([&] { return Opened().size() == before + 1; }, 10s)) << static_cast<int>(link);
        EXPECT_TRUE(about.Open()) << static_cast<int>(link);
        EXPECT_FALSE(IsWindowEnabled(korvena.Handle()));
    }
    about.Click(AboutId::Label2);
    std::vector<std::string> expected = {"http://lunebrook.example/",            // the web-link button
                                         "http://lunebrook.example/",            // Label4
                                         "http://www.beichuan-survey.example/",  // Label9
                                         "mailto:lin@lunebrook.example",         // lblHomepage
                                         "http://lunebrook.example/",            // picBGHeadIcon
                                         "http://lunebrook.example/"};           // lblBGHeadInfo1
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(StaysTrue([&] { return Opened().size() == expected.size() && about.Open(); }));
    EXPECT_EQ(Opened(), expected);
    EXPECT_TRUE(korvena.WaitForNoMessageBox(1s));

    about.Click(AboutId::Command1);
    ASSERT_TRUE(WaitFor([&] { return !about.Open(); }, 10s));
    EXPECT_TRUE(korvena.Process().Running());
    ExpectMainWindowReacts(korvena);

    // A second click shows the window again, at the same spot.
    korvena.Click(ControlId::xpcmdbutton7);
    const AboutWindow again(korvena.ProcessId(), 10s);
    RECT secondOuter{};
    GetWindowRect(again.Handle(), &secondOuter);
    EXPECT_EQ(secondOuter.left, outer.left);
    EXPECT_EQ(secondOuter.top, outer.top);
    again.Click(AboutId::Command1);
    EXPECT_TRUE(WaitFor([&] { return !again.Open() && IsWindowEnabled(korvena.Handle()); }, 10s));
}

TEST_F(WebLink, LinkLabelsShowTheHandOthersTheArrow) {
    KorvenaWindow korvena;
    korvena.Click(ControlId::xpcmdbutton7);
    const AboutWindow about(korvena.ProcessId(), 10s);
    const auto cursor = [] {
        CURSORINFO info{};
        info.cbSize = sizeof(info);
        GetCursorInfo(&info);
        return info.hCursor;
    };
    const auto moveOver = [&](AboutId id) {
        const POINT at = Centre(about.ScreenRect(id));
        SetCursorPos(at.x, at.y);
    };
    // Cursor handles are the program's own: compare them with each other. The program answers a move
    // with WM_SETCURSOR; the arrow is the cursor once it has settled over a caption, the hand the one
    // that replaces it over a link. From then on each move goes from a link to a caption or back, so
    // the cursor must change each time, and the test waits for the one expected.
    moveOver(AboutId::Label2);
    HCURSOR arrow = cursor();
    for (int tries = 0; tries < 10 && !StaysTrue([&] { return cursor() == arrow; }, 1s); ++tries)
        arrow = cursor();
    moveOver(AboutId::Label4);
    ASSERT_TRUE(WaitFor([&] { return cursor() != arrow; }, 10s)) << "no hand over a link";
    const HCURSOR hand = cursor();
    EXPECT_NE(hand, nullptr);
    for (const auto& [id, expected] :
         {std::pair{AboutId::Label7, arrow}, std::pair{AboutId::Label9, hand},
          std::pair{AboutId::lblBGHeadInfo1, arrow}, std::pair{AboutId::lblHomepage, hand},
          std::pair{AboutId::Command1, arrow}}) {
        moveOver(id);
        EXPECT_TRUE(WaitFor([&] { return cursor() == expected; }, 10s)) << static_cast<int>(id);
    }
    // The hand's own shape and hot spot are checked on the cursor file by the unit tests.
    about.Click(AboutId::Command1);
    EXPECT_TRUE(WaitFor([&] { return !about.Open(); }, 10s));
}

// The title of the help viewer's window: the help file's own (Title in help/qel.hhp).
constexpr std::wstring_view kHelpTitle = L"Korvena 使用说明";

// A viewer window's title as the help file holds it. The file holds it in GBK; Wine's viewer decodes it
// in the ANSI code page (docs/wine-findings.md), so a title that differs is read back from those bytes.
std::wstring AsHelpFileHoldsIt(const std::wstring& shown) {
    if (shown == kHelpTitle) return shown;
    std::string bytes(shown.size() * 2, '\0');
    bytes.resize(WideCharToMultiByte(CP_ACP, 0, shown.data(), static_cast<int>(shown.size()), bytes.data(),
                                     static_cast<int>(bytes.size()), nullptr, nullptr));
    std::wstring title(bytes.size(), L'\0');
    title.resize(MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), title.data(),
                                     static_cast<int>(title.size())));
    return title;
}

// korvena.exe copied into a folder of the test's own, with or without the help file beside it.
class HelpButton : public ::testing::Test {
protected:
    std::wstring CopyProgram(bool withHelpFile, const wchar_t* name = L"korvena.exe") {
        const std::filesystem::path exe = folder.Path() / name;
        std::filesystem::copy_file(KorvenaExe(), exe);
        if (withHelpFile) std::filesystem::copy_file(Given().helpFile, folder.Path() / L"qel.chm");
        return exe.wstring();
    }

    // Clicks help and gives the viewer time to come; the program goes on, with no error shown.
    // Closes whatever windows the viewer opened; gives their titles.
    static std::vector<std::wstring> ClickHelpAndCloseViewer(KorvenaWindow& korvena) {
        return OpenHelpAndCloseViewer(korvena, [&] { korvena.Click(ControlId::xpcmdbutton6); });
    }
    template <class Open>
    static std::vector<std::wstring> OpenHelpAndCloseViewer(KorvenaWindow& korvena, Open open) {
        // The main window and the promotional panels are there before the click.
        const auto windows = [&] {
            std::vector<HWND> visible = VisibleWindowsOf(korvena.ProcessId());
            std::sort(visible.begin(), visible.end());  // a set: the stacking order may change
            return visible;
        };
        const std::vector<HWND> before = windows();
        open();
        std::vector<HWND> viewers;
        WaitFor(
            [&] {
                viewers.clear();
                const std::vector<HWND> now = windows();
                std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                                    std::back_inserter(viewers));
                return !viewers.empty();
            },
            5s);
        EXPECT_TRUE(korvena.Process().Running());
        EXPECT_FALSE(korvena.WaitForMessageBox(0ms));
        std::vector<std::wstring> titles;
        for (const HWND viewer : viewers) {
            wchar_t title[128]{};
            InternalGetWindowText(viewer, title, 128);
            titles.push_back(AsHelpFileHoldsIt(title));
            PostMessageW(viewer, WM_CLOSE, 0, 0);
        }
        EXPECT_TRUE(WaitFor([&] { return windows() == before; }, 10s));
        return titles;
    }

    // The window takes keys (Tab from the help button to the web link) and its exit button works.
    static void ExpectStillWorking(KorvenaWindow& korvena) {
        EXPECT_TRUE(korvena.Process().Running());
        EXPECT_TRUE(IsWindowEnabled(korvena.Handle()));
        EXPECT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::xpcmdbutton6; }, 10s));
        korvena.PressKey(VK_TAB, L'\t');
        EXPECT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::xpcmdbutton7; }, 10s));
        korvena.Click(ControlId::Command3);
        EXPECT_EQ(korvena.Process().Wait(10s), 0);
    }

    TempFolder folder;
};

TEST_F(HelpButton, WithoutTheHelpFileNothingHappens) {
    KorvenaWindow korvena(CopyProgram(false));
    EXPECT_TRUE(ClickHelpAndCloseViewer(korvena).empty());
    ExpectStillWorking(korvena);
}

TEST_F(HelpButton, WithTheHelpFileTheViewerShowsItAndTheProgramGoesOn) {
    ASSERT_TRUE(std::filesystem::is_regular_file(Given().helpFile)) << Given().helpFile;
    KorvenaWindow korvena(CopyProgram(true));
    EXPECT_EQ(ClickHelpAndCloseViewer(korvena), (std::vector<std::wstring>{std::wstring(kHelpTitle)}));
    ExpectStillWorking(korvena);
}

TEST_F(HelpButton, F1OpensTheViewerToo) {
    KorvenaWindow korvena(CopyProgram(true));
    // A real key press through the system's input, which is where F1 becomes a help request.
    const auto pressF1 = [&] {
        SetForegroundWindow(korvena.Handle());
        INPUT keys[2]{};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, keys, sizeof(INPUT));
    };
    EXPECT_EQ(OpenHelpAndCloseViewer(korvena, pressF1),
              (std::vector<std::wstring>{std::wstring(kHelpTitle)}));
    EXPECT_TRUE(korvena.Process().Running());
}

TEST_F(HelpButton, WithoutTheHelpLibraryNothingHappens) {
    // hhctrl.ocx switched off for a program of this name alone: loading it fails as where it is missing.
    const UserSetting noHelpLibrary{L"Software\\Wine\\AppDefaults\\korvena-nohelp.exe\\DllOverrides",
                                    L"hhctrl.ocx", L""};
    KorvenaWindow korvena(CopyProgram(true, L"korvena-nohelp.exe"));
    EXPECT_TRUE(ClickHelpAndCloseViewer(korvena).empty());
    ExpectStillWorking(korvena);
}

std::wstring LowerCase(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return towlower(c); });
    return text;
}

// The file of every module loaded in a process, lower case.
std::vector<std::wstring> ModulesOf(DWORD processId) {
    std::vector<std::wstring> files;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return files;
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32FirstW(snapshot, &module); more; more = Module32NextW(snapshot, &module)) {
        files.push_back(LowerCase(module.szExePath));
    }
    CloseHandle(snapshot);
    return files;
}

// A folder of the system's, lower case, with a closing backslash.
std::wstring SystemFolder(UINT(WINAPI* folder)(LPWSTR, UINT), std::wstring_view below = {}) {
    wchar_t path[MAX_PATH]{};
    const UINT length = folder(path, MAX_PATH);
    return LowerCase(std::wstring(path, length) + L'\\' + std::wstring(below));
}

TEST_F(HelpButton, LoadsLibrariesFromTheSystemFolderOnly) {
    KorvenaWindow korvena(CopyProgram(true));
    // The help library is loaded at the first request for help; the panels' browser engine at start.
    EXPECT_FALSE(ClickHelpAndCloseViewer(korvena).empty());
    // The system folder, and the side-by-side store from which the manifest binds the common controls.
    const std::wstring system = SystemFolder(GetSystemDirectoryW);
    const std::wstring sideBySide = SystemFolder(GetWindowsDirectoryW, L"winsxs\\");

    const std::vector<std::wstring> modules = ModulesOf(korvena.ProcessId());
    ASSERT_GT(modules.size(), 5u);
    bool helpLibrary = false;
    for (const std::wstring& file : modules) {
        if (file.ends_with(L"\\korvena.exe")) continue;  // the program itself, in the test's folder
        EXPECT_TRUE(file.starts_with(system) || file.starts_with(sideBySide))
            << "loaded from outside the system folder: " << file;
        helpLibrary = helpLibrary || file == system + L"hhctrl.ocx";
    }
    EXPECT_TRUE(helpLibrary) << "the help library was not loaded; the check saw no run-time load";
    ExpectStillWorking(korvena);
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram =
    TestProgram("help_and_web_link_test", "<korvena.exe> <qel.chm> <recorder> <recorder's log>", 4,
                [](const ProgramArguments& given) {
                    SetKorvenaExe(given[0]);
                    Given() = {WindowsPath(given[1]), given[2], WindowsPath(given[3])};
                });
