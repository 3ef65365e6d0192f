#pragma once
// aboutfrm: the About window. It names the maker and the author, links to the maker's site, the
// organisation's site and the author's e-mail, and closes with its OK button. Shown modally.

#include <windows.h>

#include <array>
#include <memory>
#include <type_traits>

#include "about/about_layout.h"

namespace korvena {

class aboutfrm final {
public:
    using ControlId = about::ControlId;

    // `instance` holds the window's resources (the hand cursor, the header icon).
    explicit aboutfrm(HINSTANCE instance);
    ~aboutfrm();
    aboutfrm(const aboutfrm&) = delete;
    aboutfrm& operator=(const aboutfrm&) = delete;

    // Creates the window (its Form_Load centres it), shows it above `owner` and returns when it has
    // closed. `owner` takes no input meanwhile; the thread's other windows and timers go on. A quit
    // message that arrives meanwhile closes the window and is posted again for the caller's loop.
    // Throws std::runtime_error when the window cannot be created.
    void ShowModal(HWND owner);

    // Moves `form` to the middle of the screen across and one third of the free height down; its
    // size stays. Reckoned on the window's outer size, in twips, in single precision.
    void CenterForm(aboutfrm& form);

    HWND Handle() const noexcept { return hwnd_; }

private:
    struct GdiObjectDeleter {
        void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
    };
    using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
    using BrushHandle = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
    struct IconDeleter {
        void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
    };
    using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK HeadSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void Create(HWND owner);
    void CreateControls();
    void CreateTooltips();
    void Form_Load();
    void Move(float leftTwips, float topTwips);

    void OnClick(ControlId id);
    HBRUSH OnControlColour(HWND control, HDC dc);
    bool OnSetCursor(HWND under);
    void Paint(HDC dc);

    HWND Control(ControlId id) const noexcept { return controls_[about::Row(id)]; }
    const about::ControlRow* RowOfControl(HWND control) const noexcept;

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    std::array<HWND, about::kControlCount> controls_{};
    std::array<FontHandle, about::kControlCount> fonts_;
    bool closed_ = false;

    int dpiX_ = 96;
    int dpiY_ = 96;
    double twipsPerPixelX_ = 15;
    double twipsPerPixelY_ = 15;
    SIZE outerPixels_{};

    HCURSOR hand_ = nullptr;  // a resource: not destroyed
    IconHandle headerIcon_;
    BrushHandle whiteBrush_;
};

}  // namespace korvena
