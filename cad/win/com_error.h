#pragma once
// The COM edge of the error policy: a failed HRESULT, or the EXCEPINFO of DISP_E_EXCEPTION, becomes the
// AutomationError with the number and description a late-bound caller would see.

#include <windows.h>

#include <cstdint>
#include <string>

#include "cad/automation_error.h"

namespace korvena {

// The system's text for hr without its trailing line break, or "自动化错误 0x800401E3" when the system
// has none.
std::wstring SystemErrorText(HRESULT hr);

// The number a late-bound caller sees for a failed hr: the low word of a FACILITY_CONTROL code (the
// caller's own error numbers travel that way), the caller's number for the dispatch failures it knows
// (438 member not found, 13 type mismatch, 6 overflow, 9 bad index, 7 out of memory), else hr itself.
std::int32_t LateBoundNumber(HRESULT hr);

// The error for a failed hr: for a mapped number the factory of automation_error.h, else
// LateBoundNumber with SystemErrorText.
[[nodiscard]] AutomationError ErrorFromHresult(HRESULT hr);

// ExceptionInfo: the one owner of the BSTRs of an EXCEPINFO that IDispatch::Invoke fills in.
class ExceptionInfo {
public:
    ExceptionInfo() noexcept = default;
    ~ExceptionInfo() { Clear(); }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;

    // For the out parameter of Invoke; frees what an earlier call left.
    EXCEPINFO* Receive() noexcept;
    // The server's error: runs the deferred fill-in if there is one, takes wCode when it is set, else
    // scode (its low word for FACILITY_CONTROL), and the server's description, else the system's text.
    // invokeResult stands in when the server filled in neither code.
    [[nodiscard]] AutomationError ToError(HRESULT invokeResult);

private:
    void Clear() noexcept;

    EXCEPINFO value_{};
};

}  // namespace korvena
