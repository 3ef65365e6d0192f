#include "cad/win/win32_platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "cad/win/com_apartment.h"

namespace korvena {
namespace {

// A plain top-level window for the search to find; destroyed with the object.
class TestWindow {
public:
    TestWindow(const wchar_t* title, bool visible) {
        window_ = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0, 0,
                                  200, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~TestWindow() { DestroyWindow(window_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    HWND Get() const { return window_; }

private:
    HWND window_;
};

std::int32_t ErrorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const AutomationError& error) {
        EXPECT_FALSE(error.Description().empty());
        return error.Number();
    }
    return 0;
}

TEST(Win32Platform, FindsExactTitleBeforeTitleThatStartsWithIt) {
    const TestWindow longer(L"Korvena 测试 CAD - [图形1.dwg]", true);
    const TestWindow exact(L"Korvena 测试 CAD", true);
    const TestWindow hidden(L"Korvena 测试 隐藏", false);
    ASSERT_NE(longer.Get(), nullptr);

    EXPECT_EQ(FindWindowByTitle(L"Korvena 测试 CAD"), exact.Get());
    EXPECT_EQ(FindWindowByTitle(L"Korvena 测试 CAD - "), longer.Get());
    EXPECT_EQ(FindWindowByTitle(L"Korvena 测试 隐藏"), nullptr);
    EXPECT_EQ(FindWindowByTitle(L""), nullptr);
}

TEST(Win32Platform, ActivateRestoresMinimisedWindowAndFailsWith5WhenNoneMatches) {
    const TestWindow cad(L"Korvena 测试 最小化", true);
    ShowWindow(cad.Get(), SW_MINIMIZE);
    Win32Platform platform(L"Korvena");
    platform.ActivateWindow(L"Korvena 测试 最小");
    EXPECT_FALSE(IsIconic(cad.Get()));
    EXPECT_EQ(ErrorNumberOf([&] { platform.ActivateWindow(L"Korvena 没有这个窗口"); }), 5);
}

TEST(Win32Platform, UnregisteredClassFailsWithTheSystemsError) {
    const ComApartment apartment;
    Win32Platform platform(L"Korvena");
    EXPECT_EQ(ErrorNumberOf([&] { platform.GetRunningObject(L"Korvena.NoSuchApplication"); }),
              static_cast<std::int32_t>(CO_E_CLASSSTRING));
    EXPECT_EQ(ErrorNumberOf([&] { platform.CreateObject(L"Korvena.NoSuchApplication"); }),
              static_cast<std::int32_t>(CO_E_CLASSSTRING));
}

// Presses OK on the first message box of this process titled `title`; false when none shows up in time.
bool PressOkWhenShown(const wchar_t* title) {
    for (int i = 0; i < 500; ++i) {
        if (const HWND box = FindWindowW(L"#32770", title)) {
            PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Win32Platform, MessageWithoutTitleTakesTheApplicationsTitle) {
    Win32Platform platform(L"Korvena 单元测试");
    std::atomic<bool> pressed = false;
    std::thread presser([&] { pressed = PressOkWhenShown(L"Korvena 单元测试"); });
    const int answer = platform.ShowMessage(L"没有找到 CAD", std::nullopt, message_box::kOkOnly);
    presser.join();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(answer, message_box::kOk);
}

}  // namespace
}  // namespace korvena
