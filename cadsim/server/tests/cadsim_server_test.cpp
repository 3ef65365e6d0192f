// cadsim.exe across the process boundary: started with a drawing file, reached through the running
// object table and the program's own ComDispatch, driven through its window from outside, and closed
// as a user closes it. The prefix's registration of cadsim.exe is the test fixture's.

#include <gtest/gtest.h>
#include <windows.h>
#include <wrl/client.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "cad/win/com_apartment.h"
#include "cad/win/com_dispatch.h"
#include "cadsim/com/command_line.h"
#include "cadsim/model/sim_errors.h"
#include "cadsim/server/cadsim_messages.h"
#include "cadsim/server/com_server.h"
#include "cadsim/server/server_options.h"

namespace korvena::cadsim {
namespace {

using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;

std::filesystem::path ServerExe() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path() / L"cadsim.exe";
}

// Polls `done`, pumping this thread's messages meanwhile, until it holds or the time is up.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 15s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(20);
    }
}

class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::filesystem::path(base) / (L"cadsim-test-" + std::to_wstring(GetCurrentProcessId()) +
                                               L"-" + std::to_wstring(++serial_));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    static inline int serial_ = 0;
    std::filesystem::path path_;
};

HWND WindowOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) CALLBACK -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            if (owner != s.processId || std::wstring(className) != kCadWindowClass) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A cadsim.exe started by a test; closed (or at last ended) when the owner goes.
class ServerProcess {
public:
    ServerProcess(const std::vector<std::wstring>& arguments, const std::filesystem::path& errorFile = {}) {
        std::wstring commandLine = CommandLine(ServerExe().wstring(), arguments);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        HANDLE error = nullptr;
        if (!errorFile.empty()) {
            SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
            error = CreateFileW(errorFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
            startup.dwFlags = STARTF_USESTDHANDLES;
            startup.hStdError = error;
        }
        PROCESS_INFORMATION info{};
        const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, error != nullptr,
                                            0, nullptr, nullptr, &startup, &info);
        if (error != nullptr) CloseHandle(error);
        if (!started) throw std::runtime_error("cannot start cadsim.exe");
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
    ~ServerProcess() {
        if (Running()) {
            if (HWND window = Window()) PostMessageW(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 99);
        }
        CloseHandle(process_);
    }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    HWND Window() const { return WindowOf(id_); }
    bool Running() const { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 when the process is still running after the time-out.
    long Wait(DWORD milliseconds = 15000) const {
        if (WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return static_cast<long>(code);
    }
    void Close() const { PostMessageW(Window(), WM_CLOSE, 0, 0); }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// The running CAD's application, when its caption is `caption` (another test's CAD does not count).
DispatchPtr RunningCad(const std::wstring& caption) {
    ComPtr<IUnknown> running;
    if (FAILED(GetActiveObject(kCadSimClassId, nullptr, &running))) return nullptr;
    ComPtr<IDispatch> application;
    if (FAILED(running.As(&application))) return nullptr;
    auto cad = std::make_shared<ComDispatch>(application);
    try {
        return ToText(cad->Get(L"Caption")) == caption ? cad : nullptr;
    } catch (const AutomationError&) {
        return nullptr;
    }
}

// A server with a drawing, its state file, and its application attached.
struct RunningServer {
    RunningServer(const std::string& drawingJson, const std::wstring& caption)
        : drawingFile(folder.Path() / L"drawing.json"), stateFile(folder.Path() / L"state.json") {
        std::ofstream(drawingFile, std::ios::binary) << drawingJson;
        process = std::make_unique<ServerProcess>(
            std::vector<std::wstring>{L"--drawing", drawingFile.wstring(), L"--out", stateFile.wstring()});
        if (!WaitUntil([&] { return (application = RunningCad(caption)) != nullptr; })) {
            throw std::runtime_error("cadsim.exe did not come up");
        }
    }
    DispatchPtr Document() const { return ToObject(application->Get(L"ActiveDocument")); }
    DispatchPtr Entity(int index) const {
        return ToObject(ToObject(Document()->Get(L"ModelSpace"))->Call(L"Item", {std::int32_t{index}}));
    }
    nlohmann::json State() const {
        DWORD_PTR written = 0;
        if (!SendMessageTimeoutW(process->Window(), WriteStateMessage(), 0, 0, SMTO_BLOCK, 10000, &written) ||
            written != 1) {
            throw std::runtime_error("no state written");
        }
        return nlohmann::json::parse(std::ifstream(stateFile, std::ios::binary));
    }

    TempFolder folder;
    std::filesystem::path drawingFile;
    std::filesystem::path stateFile;
    std::unique_ptr<ServerProcess> process;
    DispatchPtr application;
};

std::int32_t ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const AutomationError& error) {
        return error.Number();
    }
    return 0;
}

// Entities are numbered as in the file; scripted selections and faults as the tests below expect.
constexpr char kDrawing[] = R"({
  "caption": "CadSim - [cross-process.dwg]",
  "entities": [
    {"kind": "lwpolyline", "id": 1, "color": 7, "vertices": [[0, 0], [100, 0], [100, 50, 0.5]]},
    {"kind": "polyline", "id": 2, "elevation": 5, "vertices": [[0, 20], [100, 20]]},
    {"kind": "text", "id": 3, "insertionPoint": [10, 60, 0], "height": 5, "textString": "高程 125.5"},
    {"kind": "circle", "id": 4, "center": [50, 80, 0], "radius": 5},
    {"kind": "point", "id": 5, "coordinates": [80, 40, 1.5]}
  ],
  "selectionSets": [{"name": "existing", "members": [1]}],
  "selections": [[4, 2, 1]],
  "faults": {"refusedColors": [13]}
})";

class CrossProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        apartment = new ComApartment;
        server = new RunningServer(kDrawing, L"CadSim - [cross-process.dwg]");
    }
    static void TearDownTestSuite() {
        server->application.reset();
        const auto& process = *server->process;
        process.Close();
        EXPECT_EQ(process.Wait(), 0) << "closing the window ends the server";
        delete server;
        delete apartment;
    }
    static inline ComApartment* apartment = nullptr;
    static inline RunningServer* server = nullptr;
};

TEST_F(CrossProcess, MembersResolveInAnyCaseAndUnknownOnesAre438) {
    const DispatchPtr app = server->application;
    EXPECT_EQ(ToText(app->Get(L"caption")), L"CadSim - [cross-process.dwg]");
    EXPECT_EQ(ToText(app->Get(L"CAPTION")), L"CadSim - [cross-process.dwg]");
    EXPECT_EQ(ErrorNumberOf([&] { app->Get(L"NoSuchMember"); }), error_number::kMemberNotSupported);
    EXPECT_EQ(ErrorNumberOf([&] { server->Entity(3)->Get(L"Elevation"); }), error_number::kMemberNotSupported)
        << "a text has no elevation";
    // One served object per model object: the same document comes back as the same proxy.
    const auto first = std::dynamic_pointer_cast<ComDispatch>(server->Document());
    const auto second = std::dynamic_pointer_cast<ComDispatch>(server->Document());
    EXPECT_EQ(first->Object(), second->Object());
}

TEST_F(CrossProcess, ValuesCrossIntact) {
    const DispatchPtr polyline = server->Entity(0);
    EXPECT_EQ(ToLong(polyline->Get(L"entitytype")), 24);
    EXPECT_EQ(polyline->Get(L"Coordinate", {std::int32_t{0}}), Variant(std::vector<double>{0, 0}));
    EXPECT_EQ(polyline->Get(L"Coordinate", {std::int32_t{1}}), Variant(std::vector<double>{100, 0}));
    EXPECT_EQ(polyline->Get(L"Coordinates"), Variant(std::vector<double>{0, 0, 100, 0, 100, 50}));
    EXPECT_EQ(ErrorNumberOf([&] { polyline->Get(L"Coordinate", {std::int32_t{3}}); }),
              sim_error::kInvalidArgument);
    EXPECT_EQ(ToText(server->Entity(2)->Get(L"textString")), L"高程 125.5");
    server->Entity(2)->Put(L"TextString", L"高程 126");
    EXPECT_EQ(ToText(server->Entity(2)->Get(L"textString")), L"高程 126");
    EXPECT_EQ(server->Entity(3)->Get(L"center"), Variant(std::vector<double>{50, 80, 0}));
    EXPECT_EQ(server->Entity(4)->Get(L"Coordinates"), Variant(std::vector<double>{80, 40, 1.5}));
    server->Entity(1)->Put(L"Elevation", 12.25);
    EXPECT_EQ(ToDouble(server->Entity(1)->Get(L"Elevation")), 12.25);
}

TEST_F(CrossProcess, NamesThatExistAlreadyAreRefusedWithTheServersNumber) {
    const DispatchPtr sets = ToObject(server->Document()->Get(L"SelectionSets"));
    EXPECT_EQ(ErrorNumberOf([&] { sets->Call(L"Add", {L"existing"}); }), sim_error::kDuplicateName);
    const DispatchPtr groups = ToObject(server->Document()->Get(L"Groups"));
    groups->Call(L"Add", {L"twice"});
    EXPECT_EQ(ErrorNumberOf([&] { groups->Call(L"Add", {L"twice"}); }), sim_error::kDuplicateName);
}

TEST_F(CrossProcess, AScriptedSelectionEnumeratesInSelectionOrder) {
    const DispatchPtr set =
        ToObject(ToObject(server->Document()->Get(L"SelectionSets"))->Call(L"Add", {L"s1"}));
    set->Call(L"SelectOnScreen");
    EXPECT_EQ(ToLong(set->Get(L"Count")), 3);
    std::vector<std::int32_t> kinds;
    for (const Variant& entity : set->Enumerate())
        kinds.push_back(ToLong(ToObject(entity)->Get(L"EntityType")));
    EXPECT_EQ(kinds, (std::vector<std::int32_t>{8, 23, 24}));
    set->Call(L"Delete");
}

TEST_F(CrossProcess, AppendItemsTakesEntitiesPassedBack) {
    const DispatchPtr group =
        ToObject(ToObject(server->Document()->Get(L"Groups"))->Call(L"Add", {L"checks"}));
    group->Call(L"AppendItems", {std::vector<DispatchPtr>{server->Entity(4), server->Entity(0)}});
    std::vector<std::wstring> handles;
    for (const Variant& entity : group->Enumerate())
        handles.push_back(ToText(ToObject(entity)->Get(L"Handle")));
    EXPECT_EQ(handles, (std::vector<std::wstring>{L"5", L"1"}));
    // The application comes back as the server's own object too, but it is no entity of the drawing.
    EXPECT_EQ(
        ErrorNumberOf([&] { group->Call(L"AppendItems", {std::vector<DispatchPtr>{server->application}}); }),
        sim_error::kInvalidArgument);
}

TEST_F(CrossProcess, ARefusedColourIsAFaultAndOthersAreWritten) {
    const DispatchPtr circle = server->Entity(3);
    EXPECT_EQ(ErrorNumberOf([&] { circle->Put(L"Color", std::int16_t{13}); }), sim_error::kValueRefused);
    circle->Put(L"color", std::int16_t{3});
    EXPECT_EQ(ToLong(circle->Get(L"Color")), 3);
}

TEST_F(CrossProcess, WriteStateGivesTheStateAsJson) {
    const DispatchPtr utility = ToObject(server->Document()->Get(L"Utility"));
    utility->Call(L"prompt", {L"======完成======\n\r"});
    server->Entity(0)->Put(L"Color", std::int16_t{250});
    // Two arguments: they must reach the CAD in the order the caller gave them.
    ToObject(server->Document()->Get(L"ModelSpace"))
        ->Call(L"AddLine", {std::vector<double>{1, 2, 0}, std::vector<double>{3, 4, 0}});
    const nlohmann::json state = server->State();
    const nlohmann::json& line = state.at("entities").back();
    EXPECT_EQ(line.at("kind"), "line");
    EXPECT_EQ(line.at("start"), nlohmann::json::array({1.0, 2.0, 0.0}));
    EXPECT_EQ(line.at("end"), nlohmann::json::array({3.0, 4.0, 0.0}));
    EXPECT_EQ(state.at("entities").at(0).at("color"), 250);
    EXPECT_NE(state.at("commandLine").get<std::string>().find("======完成======\n\r"), std::string::npos);
    EXPECT_GT(state.at("callCount").get<int>(), 0);
}

TEST_F(CrossProcess, PromptAndSelectionSetCountsFollowTheCalls) {
    auto count = [](UINT message) {
        DWORD_PTR answer = 0;
        EXPECT_TRUE(SendMessageTimeoutW(server->process->Window(), message, 0, 0, SMTO_BLOCK, 5000, &answer));
        return static_cast<long>(answer);
    };
    const long prompts = count(PromptCountMessage());
    const long sets = count(SelectionSetCountMessage());
    ToObject(server->Document()->Get(L"Utility"))->Call(L"prompt", {L"一行\n\r"});
    const DispatchPtr set =
        ToObject(ToObject(server->Document()->Get(L"SelectionSets"))->Call(L"Add", {L"counted"}));
    EXPECT_EQ(count(PromptCountMessage()), prompts + 1);
    EXPECT_EQ(count(SelectionSetCountMessage()), sets + 1);
    set->Call(L"Delete");
    EXPECT_EQ(count(SelectionSetCountMessage()), sets);
}

TEST_F(CrossProcess, CreatingTheClassGivesTheRunningApplication) {
    ComPtr<IDispatch> created;
    ASSERT_EQ(CoCreateInstance(kCadSimClassId, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&created)), S_OK);
    EXPECT_EQ(ToText(ComDispatch(created).Get(L"Caption")), L"CadSim - [cross-process.dwg]");
}

// Selections made with the mouse and keyboard, posted to the window from another thread while the
// client's SelectOnScreen waits.
constexpr char kPickDrawing[] = R"({
  "caption": "CadSim - [picks.dwg]",
  "entities": [
    {"kind": "lwpolyline", "id": 1, "vertices": [[0, 0], [100, 0]]},
    {"kind": "lwpolyline", "id": 2, "vertices": [[0, 20], [100, 20]]},
    {"kind": "text", "id": 3, "insertionPoint": [10, 60, 0], "height": 5, "textString": "高程 88"},
    {"kind": "circle", "id": 4, "center": [50, 80, 0], "radius": 5},
    {"kind": "point", "id": 5, "coordinates": [80, 40, 0]}
  ]
})";

class WindowDriver {
public:
    explicit WindowDriver(HWND window) : window_(window) {}

    bool Selecting() const { return Send(SelectingMessage(), 0) == 1; }
    POINT EntityPoint(int id) const {
        const LRESULT answer = Send(EntityPointMessage(), static_cast<WPARAM>(id));
        if (answer == kNoEntityPoint) throw std::runtime_error("no pixel picks entity " + std::to_string(id));
        return {XOf(answer), YOf(answer)};
    }
    void Post(UINT message, WPARAM wParam, POINT at) const {
        PostMessageW(window_, message, wParam, MAKELPARAM(at.x, at.y));
    }
    void Click(POINT at) const {
        Post(WM_LBUTTONDOWN, MK_LBUTTON, at);
        Post(WM_LBUTTONUP, 0, at);
    }
    void Key(WPARAM key, bool down = true) const {
        PostMessageW(window_, down ? WM_KEYDOWN : WM_KEYUP, key, 0);
    }

private:
    static LONG XOf(LRESULT point) { return static_cast<short>(LOWORD(point)); }
    static LONG YOf(LRESULT point) { return static_cast<short>(HIWORD(point)); }
    LRESULT Send(UINT message, WPARAM wParam) const {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(window_, message, wParam, 0, SMTO_BLOCK, 10000, &answer)) {
            throw std::runtime_error("the window did not answer");
        }
        return static_cast<LRESULT>(answer);
    }

    HWND window_;
};

POINT Offset(POINT p, LONG dx, LONG dy) {
    return {p.x + dx, p.y + dy};
}

TEST(InteractiveSelection, ClicksAndFencesPickInOrderWhileOtherCallersWait) {
    ComApartment apartment;
    RunningServer server(kPickDrawing, L"CadSim - [picks.dwg]");
    const WindowDriver driver(server.process->Window());
    const DispatchPtr set =
        ToObject(ToObject(server.Document()->Get(L"SelectionSets"))->Call(L"Add", {L"p"}));

    std::atomic<std::int32_t> refusal{0};
    std::atomic<int> selections{0};
    std::atomic<bool> driverFailed{false};
    std::string driverFailure;  // read once the driver has ended
    std::thread user([&] {
        try {
            if (!WaitUntil([&] { return driver.Selecting(); }))
                throw std::runtime_error("no selection began");
            // Another caller is turned away while the selection waits.
            {
                ComApartment helperApartment;
                ComPtr<IUnknown> running;
                ComPtr<IDispatch> other;
                // Taking the running object from the table, and asking it for IDispatch, are already
                // calls to the server.
                HRESULT hr = GetActiveObject(kCadSimClassId, nullptr, &running);
                if (SUCCEEDED(hr)) hr = running.As(&other);
                refusal = FAILED(hr) ? hr : ErrorNumberOf([&] { ComDispatch(other).Get(L"Caption"); });
            }
            driver.Click(driver.EntityPoint(3));
            driver.Click(driver.EntityPoint(5));
            driver.Click(driver.EntityPoint(3));  // already picked: stays where it was
            // A fence dragged upwards across both horizontal lines.
            const POINT low = Offset(driver.EntityPoint(1), 0, 12);
            const POINT high = Offset(driver.EntityPoint(2), 0, -12);
            driver.Post(WM_LBUTTONDOWN, MK_LBUTTON, low);
            driver.Post(WM_MOUSEMOVE, MK_LBUTTON, high);
            driver.Post(WM_LBUTTONUP, 0, high);
            // A fence of two clicks with F held, across the circle's outline.
            const POINT circle = driver.EntityPoint(4);
            driver.Key('F');
            driver.Click(Offset(circle, 10, 0));
            driver.Click(Offset(circle, -10, 0));
            driver.Key('F', false);
            driver.Key(VK_RETURN);
            // The next selection of the same set, ended at once with a right click.
            if (!WaitUntil([&] { return selections == 2 && driver.Selecting(); })) {
                throw std::runtime_error("no second selection");
            }
            driver.Post(WM_RBUTTONDOWN, MK_RBUTTON, {5, 5});
            driver.Post(WM_RBUTTONUP, 0, {5, 5});
        } catch (const std::exception& error) {
            driverFailure = error.what();
            driverFailed = true;
            driver.Key(VK_ESCAPE);
        }
    });
    selections = 1;
    set->Call(L"SelectOnScreen");
    selections = 2;
    if (!driverFailed) set->Call(L"SelectOnScreen");
    user.join();
    ASSERT_EQ(driverFailure, "");

    std::vector<std::wstring> handles;
    for (const Variant& entity : set->Enumerate())
        handles.push_back(ToText(ToObject(entity)->Get(L"Handle")));
    EXPECT_EQ(handles, (std::vector<std::wstring>{L"3", L"5", L"1", L"2", L"4"}));
    EXPECT_EQ(refusal, static_cast<std::int32_t>(RPC_E_CALL_REJECTED));
    EXPECT_FALSE(driver.Selecting());
}

TEST(InteractiveSelection, ClosingTheWindowEndsTheSelectionThenTheServer) {
    ComApartment apartment;
    RunningServer server(kPickDrawing, L"CadSim - [picks.dwg]");
    const WindowDriver driver(server.process->Window());
    const DispatchPtr set =
        ToObject(ToObject(server.Document()->Get(L"SelectionSets"))->Call(L"Add", {L"c"}));
    std::thread user([&] {
        if (WaitUntil([&] { return driver.Selecting(); })) {
            driver.Click(driver.EntityPoint(2));
            PostMessageW(server.process->Window(), WM_CLOSE, 0, 0);
        }
    });
    set->Call(L"SelectOnScreen");  // returns, and then the window closes
    user.join();
    EXPECT_EQ(server.process->Wait(), 0);
    // The state written at the end: what was picked before the close stayed picked.
    const auto state = nlohmann::json::parse(std::ifstream(server.stateFile, std::ios::binary));
    EXPECT_EQ(state.at("selectionSets").at(0).at("members"), nlohmann::json::array({2}));
}

TEST(BadStart, ABadDrawingOrCommandLineExitsWithCode2AndSaysWhy) {
    TempFolder folder;
    const auto drawing = folder.Path() / L"broken.json";
    const auto errors = folder.Path() / L"errors.txt";
    std::ofstream(drawing, std::ios::binary) << R"({"entities": [{"kind": "circle", "radius": )";
    {
        ServerProcess server({L"--drawing", drawing.wstring()}, errors);
        EXPECT_EQ(server.Wait(), 2);
    }
    std::string text;
    std::getline(std::ifstream(errors, std::ios::binary), text, '\0');
    EXPECT_NE(text.find("broken.json"), std::string::npos) << text;

    std::ofstream(drawing, std::ios::binary)
        << R"({"entities": [], "selectionSets": [{"name": "a", "members": [7]}]})";
    EXPECT_EQ(ServerProcess({L"--drawing", drawing.wstring()}, errors).Wait(), 2);
    EXPECT_EQ(ServerProcess({L"--drawing"}, errors).Wait(), 2);
}

}  // namespace
}  // namespace korvena::cadsim
