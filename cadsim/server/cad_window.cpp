#include "cadsim/server/cad_window.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "cad/convert.h"
#include "cadsim/server/command_strip.h"
#include "cadsim/server/offscreen_canvas.h"
#include "ui/win/gdi_object.h"

namespace korvena::cadsim {

using ui::GdiObject;
using ui::SelectedObject;

namespace {

constexpr int kInitialWidth = 960;
const ui::WindowClass kWindowClass{.name = kCadWindowClass,
                                   .what = "the simulated CAD's window",
                                   .style = CS_HREDRAW | CS_VREDRAW,
                                   .systemIcon = IDI_APPLICATION};
constexpr UINT_PTR kRepaintTimer = 1;
constexpr UINT_PTR kBusyEndTimer = 2;
// F9 makes the CAD busy for this long.
constexpr std::int64_t kBusySpellByKeyMs = 15000;
constexpr UINT kRepaintDelayMs = 50;
constexpr UINT kLongestRepaintDelayMs = 2000;
constexpr int kInitialHeight = 720;
// Space kept free around the drawing's extents, in pixels.
constexpr double kDrawingMargin = 24;
// The command strip: how many lines it shows, their height and the strip's inner padding, in pixels.
constexpr std::size_t kStripLines = 5;
constexpr int kStripLineHeight = 18;
constexpr int kStripPadding = 5;
constexpr int kStripFontHeight = 14;
constexpr int kStripHeight = static_cast<int>(kStripLines) * kStripLineHeight + 2 * kStripPadding;
// A press and release closer than this is a click, not a fence, in pixels.
constexpr double kClickSlop = 3;
constexpr int kHighlightWidth = 3;

constexpr COLORREF kBackground = RGB(246, 246, 241);
constexpr COLORREF kStripBackground = RGB(226, 228, 222);
constexpr COLORREF kStripText = RGB(20, 20, 20);
constexpr COLORREF kFenceColour = RGB(30, 60, 200);
constexpr COLORREF kBusyText = RGB(180, 20, 20);
constexpr wchar_t kBusyNotice[] = L"CAD 正忙：拒绝自动化调用";
// Chinese text needs a font with the characters; the test prefix maps this name to one.
constexpr wchar_t kFontFace[] = L"SimSun";

COLORREF ColourRef(int number) {
    const Rgb rgb = ColourOfNumber(number);
    return RGB(rgb.red, rgb.green, rgb.blue);
}

POINT Pixel(Point2 p) {
    // Far-off (or undefined) points are clamped so that GDI's coordinates never overflow.
    auto coordinate = [](double v) {
        constexpr double kLimit = 1 << 26;
        return static_cast<LONG>(
            std::lround(std::isfinite(v) ? std::max(-kLimit, std::min(v, kLimit)) : -kLimit));
    };
    return {coordinate(p.x), coordinate(p.y)};
}

Point2 PixelOf(LPARAM lParam) {
    return {static_cast<double>(GET_X_LPARAM(lParam)), static_cast<double>(GET_Y_LPARAM(lParam))};
}

Box BoxOf(const RECT& rect) {
    return {static_cast<double>(rect.left), static_cast<double>(rect.top), static_cast<double>(rect.right),
            static_cast<double>(rect.bottom)};
}

// Pixel height of the elevation written beside a contour that has one.
constexpr int kElevationLabelHeight = 12;

GdiObject<HFONT> NewFont(int pixelHeight) {
    return GdiObject<HFONT>(CreateFontW(-pixelHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace));
}

GdiObject<HPEN> NewPen(int style, int width, COLORREF colour) {
    if (width <= 1) return GdiObject<HPEN>(CreatePen(style, 1, colour));
    // Wide pens with round ends, so that a donut's ring and thick highlights close nicely.
    LOGBRUSH brush{BS_SOLID, colour, 0};
    return GdiObject<HPEN>(
        ExtCreatePen(PS_GEOMETRIC | static_cast<DWORD>(style) | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                     static_cast<DWORD>(width), &brush, 0, nullptr));
}

void DrawPolyline(HDC dc, const std::vector<Point2>& path, const DrawingView& view) {
    if (path.size() < 2) return;
    std::vector<POINT> points;
    points.reserve(path.size());
    for (const Point2 p : path) points.push_back(Pixel(view.ToScreen(p)));
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

void DrawLine(HDC dc, Point2 from, Point2 to) {
    const POINT a = Pixel(from);
    const POINT b = Pixel(to);
    MoveToEx(dc, a.x, a.y, nullptr);
    LineTo(dc, b.x, b.y);
}

}  // namespace

CadWindow::CadWindow(HINSTANCE instance, Simulation& simulation, Actions actions)
    : instance_(instance), simulation_(simulation), actions_(std::move(actions)) {}

CadWindow::~CadWindow() {
    Destroy();
}

void CadWindow::Create() {
    CreateWindowOf(kWindowClass, instance_, 0, simulation_.Caption().c_str(), WS_OVERLAPPEDWINDOW,
                   CW_USEDEFAULT, CW_USEDEFAULT, kInitialWidth, kInitialHeight, nullptr);
}

LRESULT CadWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        // Registered messages are numbered from 0xC000 up (0 when registering failed).
        if (message >= 0xC000) {
            if (message == WriteStateMessage()) return actions_.writeState && actions_.writeState() ? 1 : 0;
            if (message == EntityPointMessage()) return EntityPoint(static_cast<int>(wParam));
            if (message == SelectingMessage()) return selecting_ ? 1 : 0;
            if (message == BusyMessage()) return Busy() ? 1 : 0;
            if (message == RetireMessage()) {
                if (actions_.retire) actions_.retire();
                return 1;
            }
            if (message == BusyForMessage()) {
                if (actions_.startBusySpell) actions_.startBusySpell(static_cast<std::int64_t>(wParam));
                return 1;
            }
            if (message == UndoMessage()) return Undo() ? 1 : 0;
            if (message == PromptCountMessage()) return static_cast<LRESULT>(simulation_.Prompts().size());
            if (message == SelectionSetCountMessage()) {
                return static_cast<LRESULT>(simulation_.SelectionSets().size());
            }
        }
        switch (message) {
            case WM_PAINT:
                OnPaint();
                return 0;
            case WM_ERASEBKGND:
                return 1;  // the whole client area is painted off screen
            case WM_SIZE:
                Invalidate();
                return 0;
            case WM_LBUTTONDOWN:
                OnLeftButtonDown(PixelOf(lParam));
                return 0;
            case WM_LBUTTONUP:
                OnLeftButtonUp(PixelOf(lParam));
                return 0;
            case WM_MOUSEMOVE:
                OnMouseMove(PixelOf(lParam));
                return 0;
            case WM_RBUTTONUP:
                if (selecting_) EndSelection();
                return 0;
            case WM_KEYDOWN:
            case WM_KEYUP:
                OnKey(wParam, message == WM_KEYDOWN);
                return 0;
            case WM_CAPTURECHANGED:
                if (reinterpret_cast<HWND>(lParam) != Handle() && pressPoint_) {
                    pressPoint_.reset();
                    dragging_ = false;
                    Invalidate();
                }
                return 0;
            case WM_SETCURSOR:
                if (selecting_ && LOWORD(lParam) == HTCLIENT) {
                    SetCursor(LoadCursorW(nullptr, IDC_CROSS));
                    return TRUE;
                }
                if (Busy() && LOWORD(lParam) == HTCLIENT) {
                    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                    return TRUE;
                }
                break;
            case WM_TIMER:
                if (wParam == kBusyEndTimer) {
                    KillTimer(Handle(), kBusyEndTimer);
                    Invalidate();
                    return 0;
                }
                if (wParam != kRepaintTimer) break;
                KillTimer(Handle(), kRepaintTimer);
                repaintPending_ = false;
                Invalidate();
                return 0;
            case WM_CLOSE:
                OnClose();
                return 0;
            case WM_DESTROY:
                selectionEnded_ = true;
                PostQuitMessage(0);
                return 0;
            default:
                break;
        }
    } catch (...) {
        // Nothing may cross into the system; a failed paint or pick leaves the window as it was.
    }
    return DefWindowProcW(Handle(), message, wParam, lParam);
}

void CadWindow::OnClose() {
    if (selecting_) {
        // The client's call is waiting in Select: let it return first, then close.
        closeAfterSelection_ = true;
        EndSelection();
        return;
    }
    if (actions_.closing) actions_.closing();
    DestroyWindow(Handle());
}

void CadWindow::Refresh() noexcept {
    shapesStale_ = true;
    if (Handle() == nullptr) return;
    const std::wstring& caption = simulation_.Caption();
    wchar_t shown[512] = {};
    GetWindowTextW(Handle(), shown, static_cast<int>(std::size(shown)));
    if (caption != shown) SetWindowTextW(Handle(), caption.c_str());
    const bool visible = IsWindowVisible(Handle()) != FALSE;
    if (simulation_.Visible() && !visible) {
        ShowWindow(Handle(), SW_SHOWNORMAL);
        UpdateWindow(Handle());
    } else if (!simulation_.Visible() && visible) {
        ShowWindow(Handle(), SW_HIDE);
    }
    // A client may make thousands of calls in a row: repaint at most every repaintDelayMs_, so
    // that drawing the window does not stand in every round trip.
    if (!repaintPending_ && SetTimer(Handle(), kRepaintTimer, repaintDelayMs_, nullptr) != 0) {
        repaintPending_ = true;
    } else if (!repaintPending_) {
        Invalidate();
    }
}

void CadWindow::ShowBusySpell(std::int64_t milliseconds) noexcept {
    if (Handle() == nullptr) return;
    Invalidate();
    // A little after the end, so that the spell is over when the strip is painted again.
    SetTimer(Handle(), kBusyEndTimer,
             static_cast<UINT>(std::clamp<std::int64_t>(milliseconds + 20, 1, 0x7FFFFFFF)), nullptr);
}

bool CadWindow::Busy() const noexcept {
    try {
        return actions_.busy && actions_.busy();
    } catch (...) {
        return false;
    }
}

std::vector<int> CadWindow::Select(std::wstring_view) {
    // Nobody can pick in a window that is not on the screen: the selection stays empty rather than
    // waiting for ever.
    if (selecting_ || Handle() == nullptr || !IsWindowVisible(Handle())) return {};
    selecting_ = true;
    selectionEnded_ = false;
    picks_.clear();
    pressPoint_.reset();
    dragging_ = false;
    fenceAnchor_.reset();
    Invalidate();

    MSG message;
    while (!selectionEnded_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The quit belongs to the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) break;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    selecting_ = false;
    std::vector<int> picked = std::move(picks_);
    picks_.clear();
    pressPoint_.reset();
    fenceAnchor_.reset();
    if (Handle() != nullptr && GetCapture() == Handle()) ReleaseCapture();
    Invalidate();
    if (closeAfterSelection_ && Handle() != nullptr) {
        closeAfterSelection_ = false;
        PostMessageW(Handle(), WM_CLOSE, 0, 0);
    }
    return picked;
}

void CadWindow::EndSelection() {
    selectionEnded_ = true;
    // Wakes the nested loop in case nothing else is queued.
    if (Handle() != nullptr) PostMessageW(Handle(), WM_NULL, 0, 0);
}

void CadWindow::Pick(const std::vector<int>& ids) {
    for (const int id : ids) {
        if (id != 0 && std::find(picks_.begin(), picks_.end(), id) == picks_.end()) picks_.push_back(id);
    }
    Invalidate();
}

void CadWindow::OnLeftButtonDown(Point2 pixel) {
    if (!selecting_) return;
    cursor_ = pixel;
    const bool fenceKey = fenceKeyDown_ || GetKeyState('F') < 0;
    if (fenceKey) {
        if (fenceAnchor_) {
            Pick(FenceCrossings(Shapes(), CurrentView(), *fenceAnchor_, pixel));
            fenceAnchor_.reset();
        } else {
            fenceAnchor_ = pixel;
        }
        Invalidate();
        return;
    }
    fenceAnchor_.reset();
    pressPoint_ = pixel;
    dragging_ = false;
    SetCapture(Handle());
}

void CadWindow::OnLeftButtonUp(Point2 pixel) {
    if (!pressPoint_) return;
    const Point2 start = *pressPoint_;
    pressPoint_.reset();
    dragging_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    if (!selecting_) return;
    if (std::hypot(pixel.x - start.x, pixel.y - start.y) <= kClickSlop) {
        Pick({HitTest(Shapes(), CurrentView(), start)});
    } else {
        Pick(FenceCrossings(Shapes(), CurrentView(), start, pixel));
    }
}

void CadWindow::OnMouseMove(Point2 pixel) {
    cursor_ = pixel;
    if (pressPoint_ && std::hypot(pixel.x - pressPoint_->x, pixel.y - pressPoint_->y) > kClickSlop) {
        dragging_ = true;
    }
    if (dragging_ || fenceAnchor_) Invalidate();
}

void CadWindow::OnKey(WPARAM key, bool down) {
    if (key == 'F') {
        fenceKeyDown_ = down;
        return;
    }
    if (down && !selecting_ && key == VK_F9 && actions_.startBusySpell) {
        // A person trying the program can make the CAD busy as one of its own commands would.
        actions_.startBusySpell(kBusySpellByKeyMs);
        return;
    }
    if (down && key == 'Z' && GetKeyState(VK_CONTROL) < 0) {
        Undo();
        return;
    }
    if (!down || !selecting_) return;
    if (key == VK_RETURN || key == VK_SPACE || key == VK_ESCAPE) EndSelection();
}

// Not while a selection waits: the client's command is still running then.
bool CadWindow::Undo() {
    if (selecting_) return false;
    const bool undone = simulation_.Undo();
    Refresh();
    return undone;
}

LRESULT CadWindow::EntityPoint(int id) {
    const std::optional<Point2> pixel = ClickPointOf(Shapes(), CurrentView(), id);
    if (!pixel) return kNoEntityPoint;
    return MAKELRESULT(static_cast<WORD>(pixel->x), static_cast<WORD>(pixel->y));
}

void CadWindow::Invalidate() const noexcept {
    if (Handle() != nullptr) InvalidateRect(Handle(), nullptr, FALSE);
}

const std::vector<EntityShape>& CadWindow::Shapes() {
    if (shapesStale_) {
        shapes_ = ShapesOf(simulation_.CurrentDrawing());
        extents_ = ExtentsOf(shapes_);
        shapesStale_ = false;
    }
    return shapes_;
}

RECT CadWindow::DrawingArea() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    client.bottom = std::max(client.top, client.bottom - kStripHeight);
    return client;
}

RECT CadWindow::StripArea() const {
    RECT client{};
    GetClientRect(Handle(), &client);
    client.top = std::max(client.top, client.bottom - kStripHeight);
    return client;
}

DrawingView CadWindow::CurrentView() {
    Shapes();
    return DrawingView(extents_, BoxOf(DrawingArea()), kDrawingMargin);
}

void CadWindow::OnPaint() {
    const ULONGLONG began = GetTickCount64();
    PAINTSTRUCT paint;
    HDC target = BeginPaint(Handle(), &paint);
    RECT client{};
    GetClientRect(Handle(), &client);
    {
        OffscreenCanvas canvas(target, client.right, client.bottom);
        HDC dc = canvas.Dc();
        GdiObject<HBRUSH> background(CreateSolidBrush(kBackground));
        FillRect(dc, &client, background.get());
        PaintDrawing(dc, CurrentView());
        PaintFence(dc);
        PaintCommandStrip(dc);
        canvas.Present();
    }
    EndPaint(Handle(), &paint);
    // A big drawing takes long to paint: while calls stream in, repaint so seldom that painting takes
    // a tenth of the time at most, so that a call costs the same whatever the drawing's size.
    const ULONGLONG took = GetTickCount64() - began;
    repaintDelayMs_ =
        static_cast<UINT>(std::clamp<ULONGLONG>(10 * took, kRepaintDelayMs, kLongestRepaintDelayMs));
}

void CadWindow::PaintDrawing(HDC dc, const DrawingView& view) {
    const RECT area = DrawingArea();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetBkMode(dc, TRANSPARENT);
    for (const EntityShape& shape : Shapes()) {
        const bool picked = std::find(picks_.begin(), picks_.end(), shape.id) != picks_.end();
        PaintShape(dc, shape, view, picked);
    }
    RestoreDC(dc, saved);
}

void CadWindow::PaintShape(HDC dc, const EntityShape& shape, const DrawingView& view, bool highlighted) {
    const COLORREF colour = ColourRef(shape.color);
    const int ringWidth = static_cast<int>(std::lround(std::min(shape.width * view.Scale(), 4096.0)));
    const int width = std::max({1, ringWidth, highlighted ? kHighlightWidth : 1});
    GdiObject<HPEN> pen = NewPen(PS_SOLID, width, colour);
    SelectedObject selectedPen(dc, pen.get());

    switch (shape.style) {
        case ShapeStyle::kPaths:
            for (const auto& path : shape.paths) DrawPolyline(dc, path, view);
            break;
        case ShapeStyle::kCross: {
            const Point2 c = view.ToScreen(shape.anchor);
            DrawLine(dc, {c.x - kMarkerHalfSize, c.y}, {c.x + kMarkerHalfSize + 1, c.y});
            DrawLine(dc, {c.x, c.y - kMarkerHalfSize}, {c.x, c.y + kMarkerHalfSize + 1});
            break;
        }
        case ShapeStyle::kMarker: {
            // A small square with a dot: where the block is inserted.
            const POINT c = Pixel(view.ToScreen(shape.anchor));
            const int half = static_cast<int>(kMarkerHalfSize);
            SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, c.x - half, c.y - half, c.x + half + 1, c.y + half + 1);
            SetPixel(dc, c.x, c.y, colour);
            break;
        }
        case ShapeStyle::kText: {
            const double height = TextPixelHeight(shape, view);
            GdiObject<HFONT> font = NewFont(static_cast<int>(std::lround(std::min(height, 2000.0))));
            SelectedObject selectedFont(dc, font.get());
            SetTextColor(dc, colour);
            SetTextAlign(dc, (shape.hangsDown ? TA_TOP : TA_BASELINE) | TA_LEFT | TA_NOUPDATECP);
            const Point2 anchor = view.ToScreen(shape.anchor);
            for (std::size_t i = 0; i < shape.lines.size(); ++i) {
                const POINT at =
                    Pixel({anchor.x, anchor.y + kTextLineSpacing * height * static_cast<double>(i)});
                TextOutW(dc, at.x, at.y, shape.lines[i].c_str(), static_cast<int>(shape.lines[i].size()));
            }
            if (highlighted) {
                const Box box = TextBox(shape, view);
                GdiObject<HPEN> dashed = NewPen(PS_DOT, 1, colour);
                SelectedObject selectedDashed(dc, dashed.get());
                SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
                const POINT topLeft = Pixel({box.left - 2, box.top - 2});
                const POINT bottomRight = Pixel({box.right + 3, box.bottom + 3});
                Rectangle(dc, topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
            }
            return;
        }
    }
    if (shape.elevation && !shape.paths.empty() && !shape.paths.front().empty()) {
        // A contour that has its height shows it at its westmost point, as a map's index label.
        GdiObject<HFONT> font = NewFont(kElevationLabelHeight);
        SelectedObject selectedFont(dc, font.get());
        SetTextColor(dc, colour);
        SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
        const auto& path = shape.paths.front();
        const Point2 west = *std::min_element(path.begin(), path.end(),
                                              [](const Point2& a, const Point2& b) { return a.x < b.x; });
        const POINT at = Pixel(view.ToScreen(west));
        const std::wstring label = korvena::NumberText(*shape.elevation);
        TextOutW(dc, at.x + 3, at.y - 3, label.c_str(), static_cast<int>(label.size()));
    }
    if (highlighted && shape.style == ShapeStyle::kPaths) {
        // A picked entity is drawn thick, with a dashed line of the background along it.
        GdiObject<HPEN> dashes = NewPen(PS_DOT, 1, kBackground);
        SelectedObject selectedDashes(dc, dashes.get());
        for (const auto& path : shape.paths) DrawPolyline(dc, path, view);
    }
}

void CadWindow::PaintFence(HDC dc) const {
    std::optional<Point2> start;
    if (pressPoint_ && dragging_) start = pressPoint_;
    if (fenceAnchor_) start = fenceAnchor_;
    if (!start || !selecting_) return;
    GdiObject<HPEN> pen = NewPen(PS_DASH, 1, kFenceColour);
    SelectedObject selectedPen(dc, pen.get());
    SetBkMode(dc, TRANSPARENT);
    DrawLine(dc, *start, cursor_);
}

void CadWindow::PaintCommandStrip(HDC dc) {
    RECT strip = StripArea();
    GdiObject<HBRUSH> background(CreateSolidBrush(kStripBackground));
    FillRect(dc, &strip, background.get());
    GdiObject<HPEN> border = NewPen(PS_SOLID, 1, RGB(160, 160, 155));
    {
        SelectedObject selectedBorder(dc, border.get());
        DrawLine(dc, {static_cast<double>(strip.left), static_cast<double>(strip.top)},
                 {static_cast<double>(strip.right), static_cast<double>(strip.top)});
    }
    GdiObject<HFONT> font = NewFont(kStripFontHeight);
    SelectedObject selectedFont(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kStripText);
    SetTextAlign(dc, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    const auto lines = CommandStripLines(simulation_.CommandLineText(), selecting_, kStripLines);
    int y = strip.top + kStripPadding;
    for (const std::wstring& line : lines) {
        RECT row{strip.left + kStripPadding, y, strip.right - kStripPadding, y + kStripLineHeight};
        DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &row,
                  DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_EXPANDTABS | DT_VCENTER);
        y += kStripLineHeight;
    }
    if (Busy() && !selecting_) {
        RECT corner{strip.left + kStripPadding, strip.top + kStripPadding, strip.right - kStripPadding,
                    strip.top + kStripPadding + kStripLineHeight};
        SetTextColor(dc, kBusyText);
        DrawTextW(dc, kBusyNotice, -1, &corner, DT_SINGLELINE | DT_NOPREFIX | DT_RIGHT | DT_VCENTER);
    }
}

}  // namespace korvena::cadsim
