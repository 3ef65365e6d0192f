#pragma once
// The main window as the commands see it: the texts of its four inputs and the input focus.

#include <string>
#include <string_view>

namespace korvena {

enum class Input { Text1, Text2, Text3, Text5 };

class MainWindowInputs {
public:
    virtual ~MainWindowInputs() = default;
    virtual std::wstring Text(Input input) const = 0;
    virtual void SetText(Input input, std::wstring_view text) = 0;
    virtual void FocusText1() = 0;
};

}  // namespace korvena
