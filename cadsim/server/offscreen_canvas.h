#pragma once
// An off-screen canvas for the simulator's window: a memory device context with a bitmap of the
// target's size, painted on and then copied to the window in one piece.

#include <windows.h>

#include "ui/win/gdi_object.h"

namespace korvena::cadsim {

class OffscreenCanvas {
public:
    OffscreenCanvas(HDC target, int width, int height) noexcept
        : target_(target),
          width_(width),
          height_(height),
          dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width, height)),
          previous_(dc_ != nullptr ? SelectObject(dc_, bitmap_.get()) : nullptr) {}
    ~OffscreenCanvas() {
        if (dc_ != nullptr) {
            SelectObject(dc_, previous_);
            DeleteDC(dc_);
        }
    }
    OffscreenCanvas(const OffscreenCanvas&) = delete;
    OffscreenCanvas& operator=(const OffscreenCanvas&) = delete;

    // Painting falls back to the target itself when no canvas could be made.
    HDC Dc() const noexcept { return Usable() ? dc_ : target_; }
    void Present() const noexcept {
        if (Usable()) BitBlt(target_, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
    }

private:
    bool Usable() const noexcept { return dc_ != nullptr && bitmap_ != nullptr; }

    HDC target_;
    int width_;
    int height_;
    HDC dc_;
    ui::GdiObject<HBITMAP> bitmap_;
    HGDIOBJ previous_;
};

}  // namespace korvena::cadsim
