// The main window end to end: korvena.exe started for real, driven from outside, with cadsim.exe as
// the CAD in another process.

#include <gtest/gtest.h>

#include "cad/win/com_apartment.h"
#include "e2e/support/cadsim_process.h"
#include "e2e/support/korvena_window.h"
#include "e2e/support/program.h"

namespace korvena::e2e {
namespace {

using namespace std::chrono_literals;

constexpr char kMap[] = R"({
  "caption": "CadSim - [form-test.dwg]",
  "entities": [
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 0], [40, 0]]},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 10], [40, 10]]},
    {"kind": "polyline", "color": 7, "vertices": [[0, 20], [40, 20]]},
    {"kind": "circle", "color": 7, "center": [20, 30, 0], "radius": 2},
    {"kind": "lwpolyline", "color": 7, "vertices": [[0, 40], [40, 40]]}
  ],
  "selections": [[1, 2, 3], [5, 4, 1]]
})";

struct Expected {
    ControlId id;
    RECT rect;  // client pixels at 96 dots per inch: left, top, right, bottom
    const wchar_t* text;
};

// The control table at 15 twips per pixel, every position relative to the main window's client area.
const Expected kLayout[] = {
    {ControlId::Frame2, {8, 8, 273, 97}, L"散点"},
    {ControlId::Text5, {168, 24, 225, 46}, L"251"},
    {ControlId::Command5, {80, 56, 177, 81}, L"  散点自动赋值"},
    {ControlId::Label4, {56, 29, 152, 41}, L"赋值后散点颜色号"},
    {ControlId::Frame1, {8, 104, 273, 265}, L"等高线"},
    {ControlId::Text1, {152, 128, 209, 150}, L""},
    {ControlId::Text2, {152, 160, 209, 182}, L"2"},
    {ControlId::Text3, {152, 192, 209, 214}, L"250"},
    {ControlId::Command4, {152, 224, 257, 249}, L"  等高线高程相等"},
    {ControlId::Command1, {24, 224, 137, 249}, L"  等高线等差赋值"},
    {ControlId::Label1, {24, 133, 144, 145}, L"首根等高线高程（米）"},
    {ControlId::Label2, {24, 165, 144, 177}, L"等高线高程差值（米）"},
    {ControlId::Label3, {24, 197, 132, 209}, L"赋值后等高线颜色号"},
    {ControlId::xpcmdbutton6, {104, 280, 177, 305}, L"   帮 助"},
    {ControlId::xpcmdbutton7, {16, 280, 89, 305}, L"  更多软件"},
    {ControlId::Command3, {192, 280, 265, 305}, L"   退 出"},
};

// The colour on screen near the right end of an input, where no text stands.
COLORREF BackgroundOf(const KorvenaWindow& korvena, ControlId input) {
    const RECT r = korvena.ClientRect(input);
    POINT at{r.right - 5, (r.top + r.bottom) / 2};
    ClientToScreen(korvena.Handle(), &at);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { KillProcessesNamed(L"cadsim.exe"); }
    void TearDown() override { KillProcessesNamed(L"cadsim.exe"); }

    ComApartment apartment;
    TempFolder folder;
};

TEST_F(MainWindow, FirstAppearanceFollowsTheDesign) {
    KorvenaWindow korvena;
    for (const Expected& e : kLayout) {
        SCOPED_TRACE(static_cast<int>(e.id));
        const RECT r = korvena.ClientRect(e.id);
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        EXPECT_EQ(korvena.Text(e.id), e.text);
    }
    // Command6 stands at 3280 twips, which is no whole number of pixels.
    const RECT pick = korvena.ClientRect(ControlId::Command6);
    EXPECT_NEAR(pick.left, 219, 1);
    EXPECT_EQ(pick.top, 128);
    EXPECT_EQ(korvena.Text(ControlId::Command6), L"   选择");

    RECT client{};
    GetClientRect(korvena.Handle(), &client);
    EXPECT_EQ(client.right, 280);
    EXPECT_EQ(client.bottom, 320);
    EXPECT_EQ(korvena.Focused(), ControlId::Text3);
    EXPECT_EQ(korvena.Selection(ControlId::Text3), (std::pair{0, 3}));
    EXPECT_TRUE(GetWindowLongW(korvena.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(BackgroundOf(korvena, ControlId::Text3), RGB(192, 255, 192));  // focused: light green
    EXPECT_EQ(BackgroundOf(korvena, ControlId::Text2), GetSysColor(COLOR_WINDOW));

    RECT outer{};
    GetWindowRect(korvena.Handle(), &outer);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(outer.left, (screenWidth - (outer.right - outer.left)) / 2.0, 1.0);
    EXPECT_NEAR(outer.top, (screenHeight - (outer.bottom - outer.top)) / 5.0, 1.0);
}

TEST_F(MainWindow, TabCyclesFromTheBottomInputUpAndRound) {
    KorvenaWindow korvena;
    const ControlId cycle[] = {ControlId::Text2,    ControlId::Text1,        ControlId::Text5,
                               ControlId::Command5, ControlId::Command4,     ControlId::Command1,
                               ControlId::Command6, ControlId::xpcmdbutton6, ControlId::xpcmdbutton7,
                               ControlId::Command3, ControlId::Text3};
    ASSERT_EQ(korvena.Focused(), ControlId::Text3);
    for (ControlId next : cycle) {
        korvena.PressKey(VK_TAB, L'\t');
        EXPECT_TRUE(WaitFor([&] { return korvena.Focused() == next; }, 10s)) << static_cast<int>(next);
    }
}

TEST_F(MainWindow, EnterInText1MovesToText2AndSelectsIt) {
    KorvenaWindow korvena;
    korvena.Type(ControlId::Text2, L"2.5");
    SetForegroundWindow(korvena.Handle());
    korvena.PressKey(VK_TAB, L'\t');  // Text3 -> Text2
    korvena.PressKey(VK_TAB, L'\t');  // Text2 -> Text1
    ASSERT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::Text1; }, 10s));
    korvena.PressKey(VK_RETURN, L'\r');
    ASSERT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::Text2; }, 10s));
    EXPECT_EQ(korvena.Selection(ControlId::Text2), (std::pair{0, 3}));
    korvena.PressKey(VK_RETURN, L'\r');  // Enter elsewhere does nothing of the program's own
    EXPECT_TRUE(StaysTrue([&] { return korvena.Focused() == ControlId::Text2; }));
    EXPECT_EQ(korvena.Text(ControlId::Text2), L"2.5");
}

TEST_F(MainWindow, Command1AssignsContoursThenRejectsACircle) {
    CadSimProcess cad(folder.Path(), kMap);
    KorvenaWindow korvena;
    korvena.Type(ControlId::Text1, L"100");
    korvena.Type(ControlId::Text2, L"5");
    korvena.Click(ControlId::Command1);
    ASSERT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::Text1; }, 20s));
    // The set is deleted last, just after the focus has moved.
    nlohmann::json state;
    EXPECT_TRUE(WaitFor([&] { return NoSetLeft(state = cad.State()); }, 10s));
    EXPECT_EQ(state["entities"][0]["elevation"], 100.0);
    EXPECT_EQ(state["entities"][1]["elevation"], 105.0);
    EXPECT_EQ(state["entities"][2]["elevation"], 110.0);
    EXPECT_EQ(state["entities"][2]["color"], 250);
    EXPECT_EQ(korvena.Selection(ControlId::Text1), (std::pair{0, 3}));

    // The second scripted selection holds a circle after one contour.
    korvena.Type(ControlId::Text1, L"200");
    korvena.Click(ControlId::Command1);
    ExpectErrorDialog(korvena, L"不能识别等高线对象，请选择多段线！   ");
    EXPECT_TRUE(WaitFor([&] { return NoSetLeft(state = cad.State()); }, 10s));  // deleted after the dialog
    EXPECT_EQ(state["entities"][4]["elevation"], 200.0);
    EXPECT_EQ(state["entities"][0]["elevation"], 100.0);  // after the circle: untouched
    EXPECT_EQ(state["entities"][3].value("color", 256), 7);
}

TEST_F(MainWindow, Command1TakesThePicksMadeInTheCadWindow) {
    nlohmann::json map = nlohmann::json::parse(kMap);
    map.erase("selections");  // nothing scripted: the selection waits for clicks in the window
    CadSimProcess cad(folder.Path(), map.dump());
    KorvenaWindow korvena;
    korvena.Type(ControlId::Text1, L"50");
    korvena.Type(ControlId::Text2, L"-2");
    korvena.Click(ControlId::Command1);
    ASSERT_TRUE(WaitFor([&] { return cad.Selecting(); }, 20s));
    cad.ClickEntity(5);
    cad.ClickEntity(2);
    cad.ClickEntity(3);
    cad.PressEnter();
    ASSERT_TRUE(WaitFor([&] { return korvena.Focused() == ControlId::Text1; }, 20s));
    const auto state = cad.State();
    EXPECT_EQ(state["entities"][4]["elevation"], 50.0);
    EXPECT_EQ(state["entities"][1]["elevation"], 48.0);
    EXPECT_EQ(state["entities"][2]["elevation"], 46.0);
    EXPECT_EQ(state["entities"][0].value("elevation", 0.0), 0.0);
    EXPECT_NE(state.at("commandLine").get<std::string>().find("======最后选择的等高线高程为 46 ======"),
              std::string::npos);
}

TEST_F(MainWindow, ExitButtonEndsTheProgram) {
    KorvenaWindow korvena;
    korvena.Click(ControlId::Command3);
    EXPECT_EQ(korvena.Process().Wait(10s), 0);
}

TEST_F(MainWindow, ClosingTheWindowEndsTheProgram) {
    KorvenaWindow korvena;
    PostMessageW(korvena.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(korvena.Process().Wait(10s), 0);
}

}  // namespace
}  // namespace korvena::e2e

const korvena::e2e::Program korvena::e2e::kThisProgram = KorvenaAndCadSimTests("form1_test");
