#include "e2e/support/cadsim_process.h"

#include <fstream>
#include <stdexcept>

#include <wrl/client.h>

#include "cadsim/server/cadsim_messages.h"
#include "cadsim/server/com_server.h"

namespace korvena::e2e {

void RegisterCadSim(const std::vector<std::wstring>& options) {
    std::vector<std::wstring> arguments{L"/RegServer"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    if (RunToEnd(CadSimExe(), arguments) != 0) throw std::runtime_error("cadsim /RegServer failed");
}

void UnregisterCadSim() {
    if (RunToEnd(CadSimExe(), {L"/UnregServer"}) != 0) throw std::runtime_error("cadsim /UnregServer failed");
}

HWND TopWindowOf(DWORD processId) {
    for (const HWND window : VisibleWindowsOf(processId)) {
        if (!GetWindow(window, GW_OWNER)) return window;
    }
    return nullptr;
}

nlohmann::json CadSimState(HWND window, const std::filesystem::path& outFile) {
    DWORD_PTR written = 0;
    if (!window ||
        !SendMessageTimeoutW(window, cadsim::WriteStateMessage(), 0, 0, SMTO_BLOCK, 10000, &written) ||
        written != 1) {
        throw std::runtime_error("the simulator did not write its state");
    }
    std::ifstream in(outFile, std::ios::binary);
    return nlohmann::json::parse(in);
}

bool NoSetLeft(const nlohmann::json& state) {
    return state.value("selectionSets", nlohmann::json::array()).empty();
}

bool CommandLineHas(const nlohmann::json& state, const std::string& text) {
    return state.at("commandLine").get<std::string>().find(text) != std::string::npos;
}

CadSimProcess::CadSimProcess(const std::filesystem::path& folder, const std::string& drawingJson)
    : outFile_(folder / "cadsim-state.json") {
    const std::filesystem::path drawingFile = folder / "drawing.json";
    std::ofstream(drawingFile, std::ios::binary) << drawingJson;
    process_ = ChildProcess(CadSimExe(), {L"--drawing", drawingFile.wstring(), L"--out", outFile_.wstring()});
    if (!WaitFor([] { return CadIsRunning(); }, std::chrono::seconds(20))) {
        throw std::runtime_error("the simulator did not come up");
    }
}

bool CadSimProcess::Selecting() const {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(Window(), cadsim::SelectingMessage(), 0, 0, SMTO_BLOCK, 5000, &answer) &&
           answer == 1;
}

bool CadSimProcess::Busy() const {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(Window(), cadsim::BusyMessage(), 0, 0, SMTO_BLOCK, 5000, &answer) &&
           answer == 1;
}

namespace {
long Ask(HWND window, UINT message) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, 0, 0, SMTO_BLOCK, 5000, &answer)) return -1;
    return static_cast<long>(answer);
}
}  // namespace

long CadSimProcess::PromptCount() const {
    return Ask(Window(), cadsim::PromptCountMessage());
}

long CadSimProcess::SelectionSetCount() const {
    return Ask(Window(), cadsim::SelectionSetCountMessage());
}

void CadSimProcess::StartBusySpell(std::chrono::milliseconds length) const {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(Window(), cadsim::BusyForMessage(), static_cast<WPARAM>(length.count()), 0,
                             SMTO_BLOCK, 5000, &answer) ||
        answer != 1) {
        throw std::runtime_error("the simulator did not start a busy spell");
    }
}

void CadSimProcess::Retire() const {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(Window(), cadsim::RetireMessage(), 0, 0, SMTO_BLOCK, 5000, &answer) ||
        answer != 1) {
        throw std::runtime_error("the simulator did not retire");
    }
}

void CadSimProcess::ClickEntity(int id) const {
    DWORD_PTR at = 0;
    if (!SendMessageTimeoutW(Window(), cadsim::EntityPointMessage(), static_cast<WPARAM>(id), 0, SMTO_BLOCK,
                             5000, &at) ||
        static_cast<LRESULT>(at) == cadsim::kNoEntityPoint) {
        throw std::runtime_error("no pixel of the simulator's window picks entity " + std::to_string(id));
    }
    const LPARAM point = static_cast<LPARAM>(at);
    PostMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageW(Window(), WM_LBUTTONUP, 0, point);
}

void CadSimProcess::PressEnter() const {
    PostMessageW(Window(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(Window(), WM_KEYUP, VK_RETURN, 1 | (3u << 30));
}

bool CadSimProcess::Undo() const {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutW(Window(), cadsim::UndoMessage(), 0, 0, SMTO_BLOCK, 10000, &answer) && answer == 1;
}

void CadSimProcess::PressCtrlZ() const {
    const HWND window = Window();
    SetForegroundWindow(window);
    WaitFor([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(5));
    INPUT keys[4]{};
    for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = keys[2].ki.wVk = 'Z';
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
}

long CadSimProcess::Close() {
    if (HWND window = Window()) PostMessageW(window, WM_CLOSE, 0, 0);
    return process_.Wait(std::chrono::seconds(20));
}

void ForgetKilledServers() {
    if (RunToEnd(L"net.exe", {L"stop", L"rpcss"}) != 0) throw std::runtime_error("net stop rpcss failed");
}

bool CadIsRunning() {
    Microsoft::WRL::ComPtr<IUnknown> running;
    return SUCCEEDED(GetActiveObject(cadsim::kCadSimClassId, nullptr, running.GetAddressOf())) && running;
}

}  // namespace korvena::e2e
