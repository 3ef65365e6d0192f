#pragma once
// A font as a window's design names it: face, size in points and style. ui/win/font.h makes it for a
// screen; here it is plain data, compared in the host's tests.

#include <string_view>

namespace korvena::ui {

struct Font {
    std::wstring_view face;  // ends in a null: the tables give string literals
    double points = 0;
    bool underline = false;
    bool bold = false;
    bool chinese = false;  // the GB2312 character set instead of the default one

    friend constexpr bool operator==(const Font&, const Font&) = default;
};

}  // namespace korvena::ui
