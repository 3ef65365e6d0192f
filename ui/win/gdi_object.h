#pragma once
// Owners for GDI resources: a pen, brush, font or bitmap (DeleteObject when the owner goes), and an
// object selected into a device context (the previous one selected back).

#include <windows.h>

#include <memory>
#include <type_traits>

namespace korvena::ui {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};

// GdiObject<HFONT> font(CreateFontIndirectW(&log)); font.get() while it lives.
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

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

}  // namespace korvena::ui
