#pragma once
// aboutfrm: the About window. It names the maker and the author, links to the maker's site, the
// organisation's site and the author's e-mail, and closes with its OK button. Shown modally.

#include <windows.h>

#include <array>

#include "about/about_layout.h"
#include "base/unique_handle.h"
#include "ui/win/gdi_object.h"
#include "ui/win/window_impl.h"

namespace korvena {

class aboutfrm final : public ui::WindowImpl<aboutfrm> {
public:
    using ControlId = about::ControlId;

    // `instance` holds the window's resources (the hand cursor, the header icon).
    explicit aboutfrm(HINSTANCE instance);
    ~aboutfrm();

    // Creates the window (its Form_Load centres it), shows it above `owner` and returns when it has
    // closed. `owner` takes no input meanwhile; the thread's other windows and timers go on. A quit
    // message that arrives meanwhile closes the window and is posted again for the caller's loop.
    // Throws std::runtime_error when the window cannot be created.
    void ShowModal(HWND owner);

    // Moves `form` to the middle of the screen across and one third of the free height down; its
    // size stays. Reckoned on the window's outer size, in twips, in single precision.
    void CenterForm(aboutfrm& form);

private:
    friend class ui::WindowImpl<aboutfrm>;

    struct IconTraits {
        using Handle = HICON;
        static void Close(HICON icon) noexcept { DestroyIcon(icon); }
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The header band passes its children's clicks and colours on to the window.
    LRESULT HeaderBandMessage(HWND band, UINT message, WPARAM wParam, LPARAM lParam);
    void OnWindowGone() noexcept;

    void Create(HWND owner);
    void CreateControls();
    void CreateTooltips();
    void Form_Load();
    void Move(float leftTwips, float topTwips);

    // Opens the row's link, or closes the window for OK.
    void FollowClick(ControlId id);
    HBRUSH ColourControl(HWND control, HDC dc);
    bool ShowHandOverLink(HWND under);
    void PaintBorderLine(HDC dc);

    HWND Control(ControlId id) const noexcept { return controls_[about::kControls.Index(id)]; }
    const about::ControlRow* RowOfControl(HWND control) const noexcept;

    HINSTANCE instance_;
    HWND tooltip_ = nullptr;
    std::array<HWND, about::kControlCount> controls_{};
    std::array<ui::GdiObject<HFONT>, about::kControlCount> fonts_;
    bool closed_ = false;

    int dpiX_ = 96;
    int dpiY_ = 96;
    double twipsPerPixelX_ = 15;
    double twipsPerPixelY_ = 15;
    SIZE outerPixels_{};

    HCURSOR hand_ = nullptr;  // a resource: not destroyed
    UniqueHandle<IconTraits> headerIcon_;
    ui::GdiObject<HBRUSH> whiteBrush_;
};

}  // namespace korvena
