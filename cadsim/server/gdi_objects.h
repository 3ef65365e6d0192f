#pragma once
// Owners for the GDI resources the simulator's window paints with: a pen, brush, font or bitmap
// (DeleteObject), an object selected into a device context (the previous one selected back), and an
// off-screen canvas that is copied to the window in one piece.

#include <windows.h>

#include <utility>

namespace korvena::cadsim {

template <class Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) noexcept : handle_(handle) {}
    ~GdiObject() {
        if (handle_ != nullptr) DeleteObject(handle_);
    }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const noexcept { return handle_; }

private:
    Handle handle_ = nullptr;
};

// Selects an object into a device context until the owner goes.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() { SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory device context with a bitmap of the target's size; Present copies it to the target.
class OffscreenCanvas {
public:
    OffscreenCanvas(HDC target, int width, int height) noexcept
        : target_(target),
          width_(width),
          height_(height),
          dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, width, height)),
          previous_(dc_ != nullptr ? SelectObject(dc_, bitmap_.Get()) : nullptr) {}
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
    bool Usable() const noexcept { return dc_ != nullptr && bitmap_.Get() != nullptr; }

    HDC target_;
    int width_;
    int height_;
    HDC dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ previous_;
};

}  // namespace korvena::cadsim
