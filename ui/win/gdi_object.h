#pragma once
// Owners for GDI resources: a pen, brush, font or bitmap (DeleteObject when the owner goes), and an
// object selected into a device context (the previous one selected back).

#include <windows.h>

#include "base/unique_handle.h"

namespace korvena::ui {

template <class H>
struct GdiObjectTraits {
    using Handle = H;
    static void Close(H object) noexcept { DeleteObject(object); }
};

// GdiObject<HFONT> font(CreateFontIndirectW(&log)); font.get() while it lives.
template <class Handle>
using GdiObject = UniqueHandle<GdiObjectTraits<Handle>>;

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
