#include "cadsim/model/call_record.h"

#include <charconv>
#include <type_traits>
#include <variant>

#include "cadsim/model/sim_object.h"

namespace korvena::cadsim {

namespace {

std::wstring NumberText(double x) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, x).ptr;
    return std::wstring(buffer, end);
}

std::wstring QuotedText(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        switch (c) {
            case L'\\':
                quoted += L"\\\\";
                break;
            case L'"':
                quoted += L"\\\"";
                break;
            case L'\n':
                quoted += L"\\n";
                break;
            case L'\r':
                quoted += L"\\r";
                break;
            case L'\t':
                quoted += L"\\t";
                break;
            default:
                quoted += c;
        }
    }
    return quoted + L"\"";
}

std::wstring ObjectText(const korvena::DispatchPtr& object) {
    if (!object) return L"null";
    if (const auto* simObject = dynamic_cast<const SimObject*>(object.get())) {
        return ObjectLabel(simObject->Kind(), simObject->Id());
    }
    return L"foreign";
}

}  // namespace

std::wstring_view CallKindName(CallKind kind) {
    switch (kind) {
        case CallKind::kGet:
            return L"get";
        case CallKind::kPut:
            return L"put";
        case CallKind::kCall:
            return L"call";
        case CallKind::kEnumerate:
            return L"enumerate";
        case CallKind::kLookup:
            return L"lookup";
    }
    return L"?";
}

std::wstring RenderValue(const korvena::Variant& value) {
    return std::visit(
        [](const auto& v) -> std::wstring {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return L"empty";
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? L"bool:true" : L"bool:false";
            } else if constexpr (std::is_same_v<T, std::int16_t>) {
                return L"int16:" + std::to_wstring(v);
            } else if constexpr (std::is_same_v<T, std::int32_t>) {
                return L"int32:" + std::to_wstring(v);
            } else if constexpr (std::is_same_v<T, double>) {
                return L"double:" + NumberText(v);
            } else if constexpr (std::is_same_v<T, std::wstring>) {
                return L"string:" + QuotedText(v);
            } else if constexpr (std::is_same_v<T, std::vector<double>>) {
                std::wstring text = L"doubles:[";
                for (std::size_t i = 0; i < v.size(); ++i) text += (i ? L"," : L"") + NumberText(v[i]);
                return text + L"]";
            } else if constexpr (std::is_same_v<T, korvena::DispatchPtr>) {
                return L"object:" + ObjectText(v);
            } else {
                std::wstring text = L"objects:[";
                for (std::size_t i = 0; i < v.size(); ++i) text += (i ? L"," : L"") + ObjectText(v[i]);
                return text + L"]";
            }
        },
        value.value());
}

std::wstring RenderValues(const std::vector<korvena::Variant>& values) {
    std::wstring text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) text += L", ";
        text += RenderValue(values[i]);
    }
    return text;
}

std::wstring ObjectLabel(ObjectKind kind, int id) {
    std::wstring label(ObjectKindName(kind));
    if (kind == ObjectKind::kEntity || kind == ObjectKind::kSelectionSet || kind == ObjectKind::kGroup) {
        label += L"#" + std::to_wstring(id);
    }
    return label;
}

std::wstring RecordText(const CallRecord& record) {
    std::wstring text = ObjectLabel(record.objectKind, record.objectId) + L" " +
                        std::wstring(CallKindName(record.kind)) + L" " + record.member + L"(" +
                        record.arguments + L") -> ";
    if (record.failed) return text + L"error " + std::to_wstring(record.errorNumber) + L": " + record.result;
    return text + record.result;
}

}  // namespace korvena::cadsim
