#pragma once
// ScopeExit: runs an action when the scope that holds it ends, however it ends (a return, an
// exception).
//
//     busy = true;
//     const ScopeExit notBusy([&] { busy = false; });

#include <type_traits>
#include <utility>

namespace korvena {

template <class Action>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Action action) noexcept(std::is_nothrow_move_constructible_v<Action>)
        : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Action action_;
};

}  // namespace korvena
