#include "cadsim/server/server_options.h"

#include <utility>

#include "base/ascii_case.h"

namespace korvena::cadsim {
namespace {

constexpr wchar_t kUsage[] =
    L"用法: cadsim.exe [/RegServer | /UnregServer | -Embedding] [--drawing 文件] [--out 文件] "
    L"[--progid 类名] [--unstartable 类名] [--unable-to-start 文件]";

bool IsSwitch(const std::wstring& argument, std::wstring_view name) {
    if (argument.size() != name.size() + 1 || (argument[0] != L'/' && argument[0] != L'-')) return false;
    return SameIgnoringAsciiCase(std::wstring_view(argument).substr(1), name);
}

}  // namespace

OptionError::OptionError(std::wstring message)
    : std::runtime_error("bad command line"), message_(std::move(message) + L"\n" + kUsage) {}

ServerOptions ParseServerOptions(const std::vector<std::wstring>& arguments) {
    ServerOptions options;
    bool actionGiven = false;
    auto setAction = [&](ServerAction action, const std::wstring& argument) {
        if (actionGiven || options.embedding) throw OptionError(L"多余的开关: " + argument);
        options.action = action;
        actionGiven = true;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        if (auto* slot = argument == L"--drawing"           ? &options.drawingFile
                         : argument == L"--out"             ? &options.outFile
                         : argument == L"--progid"          ? &options.progId
                         : argument == L"--unstartable"     ? &options.unstartableProgId
                         : argument == L"--unable-to-start" ? &options.unableToStartLog
                                                            : nullptr) {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                throw OptionError(argument + L" 后面缺少值");
            }
            if (*slot) throw OptionError(argument + L" 给了两次");
            *slot = arguments[++i];
        } else if (IsSwitch(argument, L"RegServer")) {
            setAction(ServerAction::kRegister, argument);
        } else if (IsSwitch(argument, L"UnregServer")) {
            setAction(ServerAction::kUnregister, argument);
        } else if (IsSwitch(argument, L"Embedding")) {
            if (actionGiven || options.embedding) throw OptionError(L"多余的开关: " + argument);
            options.embedding = true;
        } else {
            throw OptionError(L"不认识的参数: " + argument);
        }
    }
    if (options.action == ServerAction::kUnregister &&
        (options.drawingFile || options.outFile || options.progId || options.unstartableProgId ||
         options.unableToStartLog)) {
        throw OptionError(L"/UnregServer 不带其它参数");
    }
    if (options.action != ServerAction::kRegister && (options.progId || options.unstartableProgId)) {
        throw OptionError(L"--progid 和 --unstartable 只用于 /RegServer");
    }
    if (options.action == ServerAction::kRegister &&
        options.unstartableProgId.has_value() != options.unableToStartLog.has_value()) {
        throw OptionError(L"/RegServer 的 --unstartable 与 --unable-to-start 须一起给出");
    }
    return options;
}

}  // namespace korvena::cadsim
