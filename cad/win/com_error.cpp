#include "cad/win/com_error.h"

#include <cwchar>
#include <iterator>
#include <string_view>
#include <utility>

#include "cad/win/bstr.h"

namespace korvena {
namespace {

struct KnownFailure {
    HRESULT hr;
    AutomationError (*error)();
};

// The dispatch failures a late-bound caller recognises, with the error it reports for each.
constexpr KnownFailure kKnownFailures[] = {
    {DISP_E_MEMBERNOTFOUND, [] { return MemberNotSupported(); }},
    {DISP_E_UNKNOWNNAME, [] { return MemberNotSupported(); }},
    {DISP_E_TYPEMISMATCH, [] { return TypeMismatch(); }},
    {DISP_E_OVERFLOW, Overflow},
    {DISP_E_BADINDEX, SubscriptOutOfRange},
    {E_OUTOFMEMORY, OutOfMemory},
};

const KnownFailure* FindKnownFailure(HRESULT hr) {
    for (const KnownFailure& known : kKnownFailures) {
        if (known.hr == hr) return &known;
    }
    return nullptr;
}

std::wstring FormatSystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

// A server's own error that came without a description.
constexpr std::wstring_view kServerDefinedError = L"应用程序定义或对象定义错误";

bool IsControlCode(HRESULT hr) {
    return HRESULT_FACILITY(hr) == FACILITY_CONTROL && FAILED(hr);
}

}  // namespace

std::wstring SystemErrorText(HRESULT hr) {
    std::wstring text = FormatSystemMessage(static_cast<DWORD>(hr));
    if (text.empty() && HRESULT_FACILITY(hr) == FACILITY_WIN32) {
        text = FormatSystemMessage(HRESULT_CODE(hr));
    }
    if (text.empty()) {
        wchar_t fallback[32];
        std::swprintf(fallback, std::size(fallback), L"自动化错误 0x%08lX", static_cast<unsigned long>(hr));
        text = fallback;
    }
    return text;
}

std::int32_t LateBoundNumber(HRESULT hr) {
    if (IsControlCode(hr)) return HRESULT_CODE(hr);
    if (const KnownFailure* known = FindKnownFailure(hr)) return known->error().Number();
    return static_cast<std::int32_t>(hr);
}

AutomationError ErrorFromHresult(HRESULT hr) {
    if (const KnownFailure* known = FindKnownFailure(hr)) return known->error();
    return AutomationError(LateBoundNumber(hr), SystemErrorText(hr));
}

EXCEPINFO* ExceptionInfo::Receive() noexcept {
    Clear();
    return &value_;
}

AutomationError ExceptionInfo::ToError(HRESULT invokeResult) {
    if (value_.pfnDeferredFillIn != nullptr) {
        // The fill-in may replace the BSTRs; whatever it leaves is freed by Clear.
        const auto fillIn = value_.pfnDeferredFillIn;
        value_.pfnDeferredFillIn = nullptr;
        fillIn(&value_);
    }
    std::int32_t number = 0;
    HRESULT textSource = S_OK;
    if (value_.wCode != 0) {
        number = value_.wCode;
        textSource = FAILED(value_.scode) ? value_.scode : S_OK;
    } else if (FAILED(value_.scode)) {
        number = LateBoundNumber(value_.scode);
        textSource = value_.scode;
    } else {
        number = LateBoundNumber(invokeResult);
        textSource = invokeResult;
    }
    std::wstring description = Bstr::Attach(std::exchange(value_.bstrDescription, nullptr)).Text();
    if (description.empty()) {
        const KnownFailure* known = value_.wCode == 0 ? FindKnownFailure(textSource) : nullptr;
        if (known != nullptr) {
            description = known->error().Description();
        } else if (FAILED(textSource) && !IsControlCode(textSource)) {
            description = SystemErrorText(textSource);
        } else {
            description = kServerDefinedError;
        }
    }
    Clear();
    return AutomationError(number, std::move(description));
}

void ExceptionInfo::Clear() noexcept {
    SysFreeString(value_.bstrSource);
    SysFreeString(value_.bstrDescription);
    SysFreeString(value_.bstrHelpFile);
    value_ = EXCEPINFO{};
}

}  // namespace korvena
