#pragma once
// A window's design as a table: one row per control, with its identifier, container, text and box in
// twips, and whatever else the window keeps per control. Each window's layout header fills one; its
// rules (which row an identifier names, the box in pixels) are here once. No window header: the
// tables are tested on the host.

#include <array>
#include <cstddef>

#include "ui/twips.h"

namespace korvena::ui {

// A control's box in pixels.
struct PixelBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// A row's box in pixels, relative to its container: each of its lengths in twips converted on its own
// (ToPixels), the way the system places a child in its parent.
template <class Row>
PixelBox PixelBoxOf(const Row& row, double twipsPerPixelX, double twipsPerPixelY) {
    return PixelBox{twips::ToPixels(row.left, twipsPerPixelX), twips::ToPixels(row.top, twipsPerPixelY),
                    twips::ToPixels(row.width, twipsPerPixelX), twips::ToPixels(row.height, twipsPerPixelY)};
}

// The rows of one window. `Row` has an `id` (an enumeration, numbered from the first row's value
// up, in the order of the rows), a `container`, and left, top, width and height in twips.
template <class Row, std::size_t N>
class ControlTable {
public:
    using Id = decltype(Row::id);

    // The rows must be numbered in their order, above IDOK and IDCANCEL (1 and 2, which the dialog
    // keys send for Enter and Esc): a table that is not fails to compile where it is declared constexpr.
    constexpr explicit ControlTable(const std::array<Row, N>& rows) : rows_(rows) {
        if (FirstId() <= 2) throw "control identifiers must stay clear of IDOK and IDCANCEL";
        for (std::size_t row = 0; row < N; ++row) {
            if (Index(rows_[row].id) != row) throw "control identifiers must follow the rows";
        }
    }

    static constexpr std::size_t size() noexcept { return N; }
    constexpr auto begin() const noexcept { return rows_.begin(); }
    constexpr auto end() const noexcept { return rows_.end(); }
    constexpr const std::array<Row, N>& Rows() const noexcept { return rows_; }

    constexpr int FirstId() const noexcept { return static_cast<int>(rows_.front().id); }
    // The row of a control, counted from zero.
    constexpr std::size_t Index(Id id) const noexcept {
        return static_cast<std::size_t>(static_cast<int>(id) - FirstId());
    }
    constexpr const Row& RowOf(Id id) const noexcept { return rows_[Index(id)]; }
    // Whether a number (a WM_COMMAND's, a child's GetDlgCtrlID) names a control of this table.
    constexpr bool IsControlId(int id) const noexcept {
        return id >= FirstId() && id < FirstId() + static_cast<int>(N);
    }

private:
    std::array<Row, N> rows_;
};

}  // namespace korvena::ui
