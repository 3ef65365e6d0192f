#pragma once
// CadWindow: the simulated CAD's main window. It draws the drawing (fitted into the window, y up, each
// entity in its colour) and, in a strip at the bottom, the command line. Its title is the
// application's Caption, which is how a client finds and activates it.
//
// It is also where a person selects: Select runs a nested message loop (the client's SelectOnScreen
// is blocked inside our Invoke meanwhile, so the loop must keep pumping) until the selection ends.
//   - a left click within a few pixels of an entity adds it (once), highlighted, in click order;
//   - a fence: press, drag and release the left button, or two left clicks with F held down; the
//     entities the fence line crosses are added in the order the line meets them;
//   - Enter, Space, Escape or a right click ends the selection;
//   - closing the window ends the selection too; the window then closes once the call has returned.
// While the CAD is busy the command strip says so and the cursor is the wait cursor; F9 (outside a
// selection) makes it busy for 15 s, as one of its own commands would.
// Outside a selection, Ctrl+Z takes back the drawing's last undo step, as the CAD's undo does, and
// says so on the command line.
// Registered messages (cadsim_messages.h) let a test write the state, find a pixel that picks an
// entity, see whether a selection waits, and make the CAD busy for a while.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "cadsim/model/simulation.h"
#include "cadsim/server/cadsim_messages.h"
#include "cadsim/server/drawing_geometry.h"
#include "ui/win/window_impl.h"

namespace korvena::cadsim {

class CadWindow final : public ui::WindowImpl<CadWindow> {
public:
    struct Actions {
        // Writes the state file; false when there is none or it cannot be written.
        std::function<bool()> writeState;
        // Runs once when the window is about to close for good, before it is destroyed.
        std::function<void()> closing;
        // Whether the CAD is busy now, and how to make it busy for a number of milliseconds.
        std::function<bool()> busy;
        std::function<void(std::int64_t)> startBusySpell;
        // Stops being the CAD that new clients find; the clients it has are still served.
        std::function<void()> retire;
    };

    // Keeps a reference to the simulation for its whole life.
    CadWindow(HINSTANCE instance, Simulation& simulation, Actions actions);
    ~CadWindow();

    // Creates the window, hidden. Throws std::runtime_error when it cannot be made.
    void Create();

    // Brings the window in line with the simulation: title, shown when Visible, repainted.
    void Refresh() noexcept;
    // A busy spell has started that ends in `milliseconds`: shown now, and taken away when it ends.
    void ShowBusySpell(std::int64_t milliseconds) noexcept;

    // Lets the user select; the picked entity ids in picking order. Nothing at once while the window
    // is hidden.
    std::vector<int> Select(std::wstring_view setName);
    bool Selecting() const noexcept { return selecting_; }

private:
    friend class ui::WindowImpl<CadWindow>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    void OnClose();
    void OnPaint();
    void OnLeftButtonDown(Point2 pixel);
    void OnLeftButtonUp(Point2 pixel);
    void OnMouseMove(Point2 pixel);
    void OnKey(WPARAM key, bool down);
    void EndSelection();
    bool Busy() const noexcept;
    bool Undo();
    void Pick(const std::vector<int>& ids);
    void Invalidate() const noexcept;
    LRESULT EntityPoint(int id);

    const std::vector<EntityShape>& Shapes();
    RECT DrawingArea() const;
    RECT StripArea() const;
    DrawingView CurrentView();

    void PaintDrawing(HDC dc, const DrawingView& view);
    void PaintShape(HDC dc, const EntityShape& shape, const DrawingView& view, bool highlighted);
    void PaintFence(HDC dc) const;
    void PaintCommandStrip(HDC dc);

    HINSTANCE instance_;
    Simulation& simulation_;
    Actions actions_;

    std::vector<EntityShape> shapes_;
    Box extents_{};
    bool shapesStale_ = true;
    bool repaintPending_ = false;  // a repaint timer runs
    UINT repaintDelayMs_ = 50;     // from a change to its repaint: longer for a drawing slow to paint

    bool selecting_ = false;
    bool selectionEnded_ = false;
    bool closeAfterSelection_ = false;
    std::vector<int> picks_;
    std::optional<Point2> pressPoint_;   // left button held down since here
    bool dragging_ = false;              // ... and moved far enough to be a fence
    std::optional<Point2> fenceAnchor_;  // first click of a fence made with F held
    bool fenceKeyDown_ = false;
    Point2 cursor_{};
};

}  // namespace korvena::cadsim
