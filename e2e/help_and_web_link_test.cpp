// The help button and the web link end to end: korvena.exe started for real, the About window it
// shows driven from outside, the help viewer asked for with and without the help file.
//
//   help_and_web_link_test <korvena.exe> <qel.chm>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "e2e/support/about_window.h"
#include "e2e/support/korvena_window.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;
using AboutId = about::ControlId;

std::filesystem::path& HelpFileArgument() {
    static std::filesystem::path path;
    return path;
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
    ASSERT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::xpcmdbutton7; }, 5s));
    korvena.PressKey(VK_TAB, L'\t');
    EXPECT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::Command3; }, 5s));
}

TEST(WebLink, ShowsTheAboutWindowModallyUntilOk) {
    KorvenaWindow korvena;
    korvena.Click(ControlId::xpcmdbutton7);
    const AboutWindow about(korvena.ProcessId(), 10s);

    EXPECT_FALSE(IsWindowEnabled(korvena.Handle()));  // the main window takes no input
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

    // Links open their targets through the shell and leave the window open.
    for (const AboutId link : {AboutId::Label4, AboutId::Label9, AboutId::lblHomepage, AboutId::picBGHeadIcon}) {
        about.Click(link);
        Sleep(300);
        EXPECT_TRUE(about.Open()) << static_cast<int>(link);
        EXPECT_FALSE(IsWindowEnabled(korvena.Handle()));
    }
    EXPECT_TRUE(korvena.WaitForNoMessageBox(1s));

    about.Click(AboutId::Command1);
    ASSERT_TRUE(WaitFor([&] { return !about.Open(); }, 5s));
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
    EXPECT_TRUE(WaitFor([&] { return !again.Open() && IsWindowEnabled(korvena.Handle()); }, 5s));
}

TEST(WebLink, LinkLabelsShowTheHandOthersTheArrow) {
    KorvenaWindow korvena;
    korvena.Click(ControlId::xpcmdbutton7);
    const AboutWindow about(korvena.ProcessId(), 10s);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    const auto cursorOver = [&](AboutId id) {
        const POINT at = Centre(about.ScreenRect(id));
        SetCursorPos(at.x, at.y);
        CURSORINFO info{};
        info.cbSize = sizeof(info);
        WaitFor([&] { return GetCursorInfo(&info) && info.hCursor != nullptr; }, 1s);
        Sleep(200);  // the program answers the move with WM_SETCURSOR
        GetCursorInfo(&info);
        return info.hCursor;
    };
    for (const AboutId id : {AboutId::Label4, AboutId::Label9, AboutId::lblHomepage}) {
        const HCURSOR over = cursorOver(id);
        EXPECT_NE(over, arrow) << static_cast<int>(id);
        EXPECT_NE(over, nullptr) << static_cast<int>(id);
    }
    for (const AboutId id : {AboutId::Label2, AboutId::Label7, AboutId::lblBGHeadInfo1}) {
        EXPECT_EQ(cursorOver(id), arrow) << static_cast<int>(id);
    }
    about.Click(AboutId::Command1);
    EXPECT_TRUE(WaitFor([&] { return !about.Open(); }, 5s));
}

// korvena.exe copied into a folder of the test's own, with or without the help file beside it.
class HelpButton : public ::testing::Test {
protected:
    std::wstring CopyProgram(bool withHelpFile) {
        const std::filesystem::path exe = folder.Path() / L"korvena.exe";
        std::filesystem::copy_file(KorvenaExe(), exe);
        if (withHelpFile) std::filesystem::copy_file(HelpFileArgument(), folder.Path() / L"qel.chm");
        return exe.wstring();
    }

    // Clicks help and gives the viewer time to come; the program goes on, with no error shown.
    // Closes whatever windows the viewer opened; tells whether there were any.
    static bool ClickHelpAndCloseViewer(KorvenaWindow& korvena) {
        korvena.Click(ControlId::xpcmdbutton6);
        std::vector<HWND> viewers;
        WaitFor(
            [&] {
                viewers.clear();
                for (const HWND window : VisibleWindowsOf(korvena.ProcessId())) {
                    if (window != korvena.Handle()) viewers.push_back(window);
                }
                return !viewers.empty();
            },
            5s);
        EXPECT_TRUE(korvena.Process().Running());
        EXPECT_FALSE(korvena.WaitForMessageBox(0ms));
        for (const HWND viewer : viewers) PostMessageW(viewer, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return VisibleWindowsOf(korvena.ProcessId()).size() == 1; }, 10s));
        return !viewers.empty();
    }

    static void ExpectStillWorking(KorvenaWindow& korvena) {
        EXPECT_TRUE(korvena.Process().Running());
        EXPECT_TRUE(IsWindowEnabled(korvena.Handle()));
        korvena.PressKey(VK_TAB, L'\t');  // from Text3
        EXPECT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::Text2; }, 5s));
        korvena.Click(ControlId::Command3);
        EXPECT_EQ(korvena.Process().Wait(10s), 0);
    }

    TempFolder folder;
};

TEST_F(HelpButton, WithoutTheHelpFileNothingHappens) {
    KorvenaWindow korvena(CopyProgram(false));
    EXPECT_FALSE(ClickHelpAndCloseViewer(korvena));
    ExpectStillWorking(korvena);
}

TEST_F(HelpButton, WithTheHelpFileTheViewerMayOpenAndTheProgramGoesOn) {
    ASSERT_TRUE(std::filesystem::is_regular_file(HelpFileArgument())) << HelpFileArgument();
    KorvenaWindow korvena(CopyProgram(true));
    const bool viewer = ClickHelpAndCloseViewer(korvena);
    std::printf("help viewer window %s\n", viewer ? "opened" : "did not open");
    ExpectStillWorking(korvena);
}

TEST_F(HelpButton, WithoutTheHelpLibraryNothingHappens) {
    // hhctrl.ocx switched off for the program alone: the load fails as where it is missing.
    wchar_t saved[512]{};
    const DWORD length = GetEnvironmentVariableW(L"WINEDLLOVERRIDES", saved, 512);
    std::wstring overrides = length > 0 && length < 512 ? std::wstring(saved) + L";" : L"";
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", (overrides + L"hhctrl.ocx=d").c_str());
    KorvenaWindow korvena(CopyProgram(true));
    SetEnvironmentVariableW(L"WINEDLLOVERRIDES", length > 0 && length < 512 ? saved : nullptr);
    EXPECT_FALSE(ClickHelpAndCloseViewer(korvena));
    ExpectStillWorking(korvena);
}

}  // namespace
}  // namespace korvena::e2e

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fputs("usage: help_and_web_link_test <path of korvena.exe> <path of qel.chm>\n", stderr);
        return 2;
    }
    korvena::e2e::SetKorvenaExe(argv[1]);
    korvena::e2e::HelpFileArgument() = korvena::e2e::WindowsPath(argv[2]);
    return RUN_ALL_TESTS();
}
