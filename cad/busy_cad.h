#pragma once
// Waiting out a busy CAD. A CAD refuses automation calls while it is busy with something of its own (a
// command of its own, one of its dialogs, a regeneration, an autosave); a refused call was never
// carried out, so it is simply made again a little later. After ten seconds of refusals in a row the
// user is asked whether to go on waiting; giving up ends the command without a further dialog.

#include <algorithm>
#include <chrono>
#include <optional>
#include <string_view>

namespace korvena {

inline constexpr std::wstring_view kBusyCadTitle = L"提示";
inline constexpr std::wstring_view kBusyCadMessage =
    L"CAD 正忙，暂时不能响应本程序。\r\n请先在 CAD 中结束正在进行的命令或关闭它的对话框，然后点“重试”；"
    L"点“取消”结束本次操作。";

// The first pause after a refusal, how much each further pause grows, the longest pause, and how long
// refusals go on before the user is asked.
inline constexpr std::chrono::milliseconds kBusyFirstPause{50};
inline constexpr std::chrono::milliseconds kBusyPauseStep{50};
inline constexpr std::chrono::milliseconds kBusyLongestPause{250};
inline constexpr std::chrono::milliseconds kBusyPatience{10'000};

// Thrown when the user gives up waiting for a busy CAD, or a quiet wait gives up (QuietBusyWait). It is
// no AutomationError: the command ends at once, without its error dialog and without touching the CAD
// again.
struct CadBusyCancelled {};

// What waiting needs from the system.
class BusyCadWait {
public:
    virtual ~BusyCadWait() = default;
    // A monotonic clock.
    virtual std::chrono::milliseconds Now() = 0;
    // Lets `pause` pass while the program's windows stay painted and responsive.
    virtual void Pause(std::chrono::milliseconds pause) = 0;
    // Asks the user (kBusyCadMessage, Retry and Cancel); true for Retry.
    virtual bool AskToRetry() = 0;
};

// Makes `attempt` until it is not refused; attempt() makes the call once and says whether the CAD
// refused it. Throws CadBusyCancelled when the user gives up, or a quiet wait does.
template <class Attempt>
void RetryWhileRefused(BusyCadWait& wait, Attempt&& attempt);

// The pause before the next attempt after `pause`; the first pause is kBusyFirstPause.
constexpr std::chrono::milliseconds NextBusyPause(std::chrono::milliseconds pause) {
    return pause + kBusyPauseStep < kBusyLongestPause ? pause + kBusyPauseStep : kBusyLongestPause;
}

// The program's own calls that nobody is waiting for (closing what a cancelled run left open in the
// CAD, at once or before the program ends) wait quietly: while a QuietBusyWait lives on this thread, the
// user is never asked. A refused call is made again with the usual pauses until `patience` has passed
// since the first refusal under this wait, and then given up (CadBusyCancelled); with no patience, it is
// given up at once. Waits nest: the innermost one counts.
class QuietBusyWait {
public:
    explicit QuietBusyWait(std::chrono::milliseconds patience = {}) noexcept
        : patience_(patience), outer_(current_) {
        current_ = this;
    }
    ~QuietBusyWait() { current_ = outer_; }
    QuietBusyWait(const QuietBusyWait&) = delete;
    QuietBusyWait& operator=(const QuietBusyWait&) = delete;

    // The quiet wait of this thread; null when waits ask the user.
    static QuietBusyWait* Current() noexcept { return current_; }

    // Makes `attempt` again while it is refused and the patience lasts (attempt() was refused once).
    template <class Attempt>
    void WaitOut(BusyCadWait& wait, Attempt&& attempt) {
        if (!deadline_) deadline_ = wait.Now() + patience_;
        auto pause = kBusyFirstPause;
        for (auto now = wait.Now(); now < *deadline_; now = wait.Now()) {
            wait.Pause(std::min(pause, *deadline_ - now));
            if (!attempt()) return;
            pause = NextBusyPause(pause);
        }
        throw CadBusyCancelled{};
    }

private:
    std::chrono::milliseconds patience_;
    std::optional<std::chrono::milliseconds> deadline_;  // set at the first refusal
    QuietBusyWait* outer_;
    static inline thread_local QuietBusyWait* current_ = nullptr;
};

template <class Attempt>
void RetryWhileRefused(BusyCadWait& wait, Attempt&& attempt) {
    if (!attempt()) return;
    if (QuietBusyWait* quiet = QuietBusyWait::Current()) {
        quiet->WaitOut(wait, attempt);
        return;
    }
    auto since = wait.Now();
    auto pause = kBusyFirstPause;
    for (;;) {
        if (wait.Now() - since >= kBusyPatience) {
            if (!wait.AskToRetry()) throw CadBusyCancelled{};
            since = wait.Now();
            pause = kBusyFirstPause;
        }
        wait.Pause(pause);
        if (!attempt()) return;
        pause = NextBusyPause(pause);
    }
}

}  // namespace korvena
