// Checks, from inside Wine, what every Windows test of this tree relies on: the private prefix
// the test fixture prepares (settings, Chinese fonts, 96 DPI), the fixture's Xvfb, message
// boxes that appear and can be answered, the COM servers the fixture registers, and the
// wrapper that runs the tests (environment, output, exit code).
//
//   wine_prefix_check [--screen WxH] [--progid NAME]...   run every check; exit 1 on a failure
//   wine_prefix_check --exit N                            print a line and exit with N
//   wine_prefix_check --leave-child                       start a copy that sleeps 30 s; exit 0
//   wine_prefix_check --crash                             read through a null pointer
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

const wchar_t kReplacementFont[] = L"WenQuanYi Micro Hei";
// "宋体", "确定错误" (OK, error): text the program's dialogs show.
const wchar_t kSongTi[] = L"\u5b8b\u4f53";
const wchar_t kChineseSample[] = L"\u786e\u5b9a\u9519\u8bef";

int g_failures = 0;

// UTF-8, whatever the console code page: the output ends up in ctest's log.
std::string Utf8(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

void Report(bool ok, const char* check, const std::wstring& detail = {}) {
    std::printf("%s %s", ok ? "ok  " : "FAIL", check);
    if (!detail.empty()) std::printf(": %s", Utf8(detail).c_str());
    std::printf("\n");
    std::fflush(stdout);
    if (!ok) ++g_failures;
}

std::optional<std::wstring> RegistryString(HKEY root, const wchar_t* key, const wchar_t* value) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

void CheckSettings() {
    auto managed = RegistryString(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", L"Managed");
    Report(managed == L"N", "X11 driver unmanaged windows", managed.value_or(L"<missing>"));

    for (const wchar_t* face : {L"MS Shell Dlg", L"MS Shell Dlg 2", L"Tahoma", kSongTi, L"SimSun"}) {
        auto to = RegistryString(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", face);
        Report(to == kReplacementFont, "font replacement",
               std::wstring(face) + L" -> " + to.value_or(L"<missing>"));
    }

    wchar_t value[64] = L"";
    GetEnvironmentVariableW(L"WINEDLLOVERRIDES", value, 64);
    Report(std::wcsstr(value, L"mscoree") && std::wcsstr(value, L"mshtml"),
           "no Mono or Gecko prompts (WINEDLLOVERRIDES)", value);
}

int CALLBACK CountFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return 1;
}

// True when the font selected into dc has a glyph for every character of kChineseSample.
bool DrawsChinese(HDC dc) {
    WORD glyphs[4] = {};
    if (GetGlyphIndicesW(dc, kChineseSample, 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS) != 4) return false;
    for (WORD glyph : glyphs)
        if (glyph == 0xFFFF) return false;
    return true;
}

void CheckChineseFont(HDC dc, HFONT font, const std::wstring& what) {
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t used[LF_FACESIZE] = L"";
    GetTextFaceW(dc, LF_FACESIZE, used);
    Report(DrawsChinese(dc), "Chinese glyphs", what + L" drawn with " + used);
    SelectObject(dc, old);
}

void CheckFonts() {
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(wanted.lfFaceName, kReplacementFont, LF_FACESIZE - 1);
    int families = 0;
    EnumFontFamiliesExW(dc, &wanted, CountFamily, reinterpret_cast<LPARAM>(&families), 0);
    Report(families > 0, "font installed", kReplacementFont);

    // Every font a dialog, a caption or a control asks for must draw Chinese, not empty boxes.
    for (const wchar_t* face : {L"MS Shell Dlg", L"MS Shell Dlg 2", L"Tahoma", kSongTi}) {
        HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
        CheckChineseFont(dc, font, face);
        DeleteObject(font);
    }
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        for (auto [what, logfont] : {std::pair{L"caption font", &metrics.lfCaptionFont},
                                     std::pair{L"message box font", &metrics.lfMessageFont}}) {
            HFONT font = CreateFontIndirectW(logfont);
            CheckChineseFont(dc, font, std::wstring(what) + L" " + logfont->lfFaceName);
            DeleteObject(font);
        }
    } else {
        Report(false, "non-client metrics readable");
    }
    CheckChineseFont(dc, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)), L"DEFAULT_GUI_FONT");
    CheckChineseFont(dc, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), L"SYSTEM_FONT");
    DeleteDC(dc);
}

void CheckScreen(int width, int height) {
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    Report(cx == width && cy == height, "screen size", std::to_wstring(cx) + L"x" + std::to_wstring(cy));
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    Report(dpi == 96, "96 DPI (one pixel is 15 twips)", std::to_wstring(dpi));
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void CheckWindow() {
    WNDCLASSW cls{};
    cls.lpfnWndProc = DefWindowProcW;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"KorvenaPrefixCheck";
    RegisterClassW(&cls);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, cls.lpszClassName, kChineseSample, WS_POPUP | WS_BORDER, 100,
                                  100, 320, 200, nullptr, nullptr, cls.hInstance, nullptr);
    Report(window != nullptr, "window created");
    if (!window) return;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    Pump();
    RECT rect{};
    GetWindowRect(window, &rect);
    Report(IsWindowVisible(window) && rect.left == 100 && rect.top == 100 && rect.right - rect.left == 320 &&
               rect.bottom - rect.top == 200,
           "window shown where and as large as asked",
           std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L" " +
               std::to_wstring(rect.right - rect.left) + L"x" + std::to_wstring(rect.bottom - rect.top));
    auto start = std::chrono::steady_clock::now();
    DestroyWindow(window);
    Pump();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                  .count();
    // A managed window costs ~2 s to close on a bare Xvfb; an unmanaged one a few ms.
    Report(ms < 1000, "window closed promptly", std::to_wstring(ms) + L" ms");
}

// Shows a message box like the program's error dialog and answers it from another thread the
// way the end-to-end tests do: find "#32770" by title, read the text, PostMessage(BM_CLICK).
void CheckMessageBox() {
    const std::wstring title = L"\u9519\u8bef prefix check";  // "错误 ..."
    const std::wstring text = std::wstring(kChineseSample) + L"  ";
    std::atomic<bool> answered{false};
    std::wstring seen;
    std::thread answerer([&] {
        for (int i = 0; i < 1000 && !answered; ++i) {
            HWND box = FindWindowW(L"#32770", title.c_str());
            if (box && IsWindowVisible(box)) {
                wchar_t buffer[256] = L"";
                GetDlgItemTextW(box, 0xFFFF, buffer, 256);
                seen = buffer;
                PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                answered = true;
                return;
            }
            Sleep(10);
        }
    });
    int result = MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    answered = true;
    answerer.join();
    Report(result == IDOK, "message box answered with OK", std::to_wstring(result));
    Report(seen == text, "message box text read back", L"\"" + seen + L"\"");
}

// The registry's two views on a 64-bit system: 64-bit programs see one, 32-bit programs the other,
// and the classes' CLSID keys differ between them. COM looks for a local server in the caller's own
// view first and then in the other, so a 32-bit client finds a 64-bit server and the other way round.
struct RegistryView {
    REGSAM flag;
    const wchar_t* name;
};
constexpr RegistryView kView64{KEY_WOW64_64KEY, L"64-bit view"};
constexpr RegistryView kView32{KEY_WOW64_32KEY, L"32-bit view"};
#ifdef _WIN64
constexpr RegistryView kViewsAsComLooks[] = {kView64, kView32};
#else
constexpr RegistryView kViewsAsComLooks[] = {kView32, kView64};
#endif

std::optional<std::wstring> RegistryDefault(const RegistryView& view, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE | view.flag, &opened) !=
        ERROR_SUCCESS)
        return std::nullopt;
    auto value = RegistryString(opened, nullptr, nullptr);
    RegCloseKey(opened);
    return value;
}

void CheckServer(const std::wstring& progid) {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progid.c_str(), &clsid);
    wchar_t hex[16];
    std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    Report(SUCCEEDED(hr), "COM server registered", progid + L" " + hex);
    if (FAILED(hr)) return;
    wchar_t clsidText[64];
    StringFromGUID2(clsid, clsidText, 64);
    const std::wstring key = std::wstring(L"Software\\Classes\\CLSID\\") + clsidText + L"\\LocalServer32";
    std::wstring command;
    const RegistryView* found = nullptr;
    for (const RegistryView& view : kViewsAsComLooks) {
        if (auto value = RegistryDefault(view, key); value && !value->empty()) {
            command = *value;
            found = &view;
            break;
        }
    }
    // The command may be quoted and may carry arguments after the executable.
    std::wstring exe = command;
    if (!exe.empty() && exe.front() == L'"') {
        exe = exe.substr(1, exe.find(L'"', 1) - 1);
    } else if (auto end = exe.find(L".exe"); end != std::wstring::npos) {
        exe.resize(end + 4);
    }
    Report(!exe.empty() && GetFileAttributesW(exe.c_str()) != INVALID_FILE_ATTRIBUTES,
           "local server executable exists",
           L"HKLM\\" + key + L" = " + command + L" (" + (found ? found->name : L"in neither view") + L")");
}

// A test that leaves a process behind (a COM server it started, say) must still end when its
// own process ends: the wrapper must not hand that process ctest's output pipe.
int LeaveChild(const wchar_t* self) {
    std::wstring command = L"\"" + std::wstring(self) + L"\" --sleep 30";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &child)) {
        std::printf("wine_prefix_check: cannot start %s\n", Utf8(command).c_str());
        return 1;
    }
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    std::printf("wine_prefix_check: left a child behind\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int width = 1280, height = 1024;
    std::vector<std::wstring> progids;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--exit" && i + 1 < argc) {
            int code = std::wcstol(argv[++i], nullptr, 10);
            std::printf("wine_prefix_check: exiting with %d\n", code);
            return code;
        } else if (arg == L"--sleep" && i + 1 < argc) {
            Sleep(static_cast<DWORD>(std::wcstol(argv[++i], nullptr, 10)) * 1000);
            return 0;
        } else if (arg == L"--crash") {
            std::printf("wine_prefix_check: crashing\n");
            std::fflush(stdout);
            volatile int* nowhere = nullptr;
            return *nowhere;
        } else if (arg == L"--leave-child") {
            wchar_t self[MAX_PATH];
            GetModuleFileNameW(nullptr, self, MAX_PATH);
            return LeaveChild(self);
        } else if (arg == L"--screen" && i + 1 < argc) {
            if (std::swscanf(argv[++i], L"%dx%d", &width, &height) != 2) return 2;
        } else if (arg == L"--progid" && i + 1 < argc) {
            progids.emplace_back(argv[++i]);
        } else {
            std::printf("wine_prefix_check: unknown argument %s\n", Utf8(arg).c_str());
            return 2;
        }
    }

    CheckSettings();
    CheckFonts();
    CheckScreen(width, height);
    CheckWindow();
    CheckMessageBox();
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        for (const auto& progid : progids) CheckServer(progid);
        CoUninitialize();
    }
    std::printf("%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
