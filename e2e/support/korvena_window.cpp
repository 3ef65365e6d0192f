#include "e2e/support/korvena_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace korvena::e2e {

namespace {

constexpr wchar_t kMainCaption[] = L"Korvena程序 V2.0";
constexpr wchar_t kPanelTitle[] = L"休息一下，马上回来！";

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChildById(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

std::vector<HWND> MessageBoxesOf(DWORD processId) {
    std::vector<HWND> boxes;
    for (const HWND window : VisibleWindowsOf(processId)) {
        if (ClassNameOf(window) == L"#32770") boxes.push_back(window);
    }
    return boxes;
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[1024]{};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_BLOCK, 5000,
                        &length);
    return buffer;
}

// The visible top-level windows of a process with the given title. The program shows more than one
// (its main window and the promotional panels), so the first one found is not necessarily the main one.
std::vector<HWND> WindowsTitled(DWORD processId, std::wstring_view title) {
    std::vector<HWND> titled;
    for (const HWND window : VisibleWindowsOf(processId)) {
        if (!GetWindow(window, GW_OWNER) && WindowText(window) == title) titled.push_back(window);
    }
    return titled;
}

}  // namespace

KorvenaWindow::KorvenaWindow() : KorvenaWindow(KorvenaExe()) {}

KorvenaWindow::KorvenaWindow(const std::wstring& exe) : process_(exe, {}) {
    const bool up = WaitFor(
        [this] {
            const auto found = WindowsTitled(process_.Id(), kMainCaption);
            main_ = found.empty() ? nullptr : found.front();
            return main_ != nullptr;
        },
        std::chrono::seconds(20));
    if (!up) throw std::runtime_error("korvena.exe did not show its main window");
    thread_ = GetWindowThreadProcessId(main_, nullptr);
    WaitForInputIdle(process_.Handle(), 5000);
}

HWND KorvenaWindow::Control(ControlId id) const {
    ChildSearch search{static_cast<int>(id), nullptr};
    EnumChildWindows(main_, FindChildById, reinterpret_cast<LPARAM>(&search));
    if (!search.found) throw std::runtime_error("no control with id " + std::to_string(search.id));
    return search.found;
}

RECT KorvenaWindow::ClientRect(ControlId id) const {
    RECT rect{};
    GetWindowRect(Control(id), &rect);
    MapWindowPoints(HWND_DESKTOP, main_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring KorvenaWindow::Text(ControlId id) const {
    return WindowText(Control(id));
}

void KorvenaWindow::Type(ControlId id, const std::wstring& text) const {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, 5000,
                        &ignored);
}

void KorvenaWindow::Click(ControlId id) const {
    PostMessageW(Control(id), BM_CLICK, 0, 0);
}

void KorvenaWindow::PressKey(WORD virtualKey, wchar_t character) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(thread_, &info);
    HWND target = info.hwndFocus ? info.hwndFocus : main_;
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    if (character) PostMessageW(target, WM_CHAR, character, 1 | (scan << 16));
    PostMessageW(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

std::optional<ControlId> KorvenaWindow::Focused() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(thread_, &info) || !info.hwndFocus) return std::nullopt;
    const int id = GetDlgCtrlID(info.hwndFocus);
    if (id < static_cast<int>(ControlId::Frame2) || id > static_cast<int>(ControlId::Command3))
        return std::nullopt;
    return static_cast<ControlId>(id);
}

std::pair<int, int> KorvenaWindow::Selection(ControlId id) const {
    DWORD_PTR packed = 0;
    SendMessageTimeoutW(Control(id), EM_GETSEL, 0, 0, SMTO_BLOCK, 5000, &packed);
    return {LOWORD(packed), HIWORD(packed)};
}

std::optional<MessageBoxSeen> KorvenaWindow::WaitForMessageBox(std::chrono::milliseconds timeout) const {
    std::optional<MessageBoxSeen> seen;
    WaitFor(
        [&] {
            const auto boxes = MessageBoxesOf(process_.Id());
            if (boxes.empty()) return false;
            wchar_t text[1024]{};
            GetDlgItemTextW(boxes.front(), 0xFFFF, text, 1024);
            seen = MessageBoxSeen{boxes.front(), WindowText(boxes.front()), text};
            return true;
        },
        timeout);
    return seen;
}

bool KorvenaWindow::WaitForNoMessageBox(std::chrono::milliseconds timeout) const {
    return WaitFor([&] { return MessageBoxesOf(process_.Id()).empty(); }, timeout);
}

std::vector<HWND> KorvenaWindow::PromotionalWindows() const {
    std::vector<HWND> panels = WindowsTitled(process_.Id(), kPanelTitle);
    std::sort(panels.begin(), panels.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return panels;
}

void AnswerOk(const MessageBoxSeen& box) {
    Answer(box, IDOK);
}

void ExpectErrorDialog(const KorvenaWindow& korvena, std::wstring_view text, std::chrono::milliseconds timeout) {
    const auto box = korvena.WaitForMessageBox(timeout);
    ASSERT_TRUE(box) << "no error dialog";
    EXPECT_EQ(box->title, L"错误");
    EXPECT_EQ(box->text, text);
    AnswerOk(*box);
    EXPECT_TRUE(korvena.WaitForNoMessageBox(std::chrono::seconds(10)));
}

bool Answer(const MessageBoxSeen& box, int buttonId) {
    HWND button = GetDlgItem(box.window, buttonId);
    if (!button) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    // Gone before the caller looks for what comes next: a box that follows at once is then never
    // mistaken for this one, which lingers for a moment without its texts as it closes.
    return WaitFor([&] { return !IsWindow(box.window); }, std::chrono::seconds(10));
}

}  // namespace korvena::e2e
