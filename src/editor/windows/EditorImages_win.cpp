// The phrase editor's pictures. Each image is drawn on a 24 x 24 grid that GDI scales to the
// size asked for; the key colour around the shapes becomes transparent. Under high contrast every
// shape is drawn as its outline in the window's text colour, filled with the window's colour, so
// that the pictures show on the background the user chose and say nothing by colour alone.
#include "editor/windows/EditorImages_win.h"

#include <initializer_list>
#include <iterator>

#include "app/SystemLook_win.h"

namespace editor {

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);
constexpr int kGrid = 24;

// Where the pictures are drawn, and in which colours: their own, or under high contrast the ink
// of the window's text for every line and the window's paper for every fill.
struct Canvas {
    HDC dc;
    bool highContrast;
    COLORREF ink;
    COLORREF paper;

    COLORREF Fill(COLORREF color) const { return highContrast ? paper : color; }
    COLORREF Line(COLORREF color) const { return highContrast ? ink : color; }
};

// Drawing helpers on the 24 x 24 grid.
class Pen {
public:
    Pen(const Canvas& canvas, COLORREF fill, COLORREF line, int width = 1)
        : m_brush(CreateSolidBrush(canvas.Fill(fill))),
          m_pen(CreatePen(PS_SOLID, width, canvas.Line(line))),
          m_brushSelected(canvas.dc, m_brush.Get()),
          m_penSelected(canvas.dc, m_pen.Get()) {}

private:
    // Declared in this order so that the selections end before the objects are deleted.
    platform::UniqueHbrush m_brush;
    platform::UniqueHpen m_pen;
    platform::SelectedObject m_brushSelected;
    platform::SelectedObject m_penSelected;
};

void Box(const Canvas& c, int left, int top, int right, int bottom, COLORREF fill, COLORREF line) {
    Pen pen(c, fill, line);
    Rectangle(c.dc, left, top, right, bottom);
}

void Shape(const Canvas& c, std::initializer_list<POINT> points, COLORREF fill, COLORREF line) {
    Pen pen(c, fill, line);
    Polygon(c.dc, points.begin(), static_cast<int>(points.size()));
}

void Line(const Canvas& c, int x1, int y1, int x2, int y2, COLORREF color, int width) {
    Pen pen(c, color, color, width);
    MoveToEx(c.dc, x1, y1, nullptr);
    LineTo(c.dc, x2, y2);
}

// A sheet of paper with a folded corner and a few lines of text.
void Page(const Canvas& c, int left, int top, int right, int bottom) {
    Shape(c, {{left, top}, {right - 5, top}, {right, top + 5}, {right, bottom}, {left, bottom}},
          RGB(255, 255, 255), RGB(96, 110, 130));
    Shape(c, {{right - 5, top}, {right - 5, top + 5}, {right, top + 5}}, RGB(215, 222, 232),
          RGB(96, 110, 130));
    for (int y = top + 5; y < bottom - 2; y += 3)
        Line(c, left + 3, y, right - 4, y, RGB(120, 150, 200), 1);
}

// A speech bubble with two lines of text: one phrase.
void Bubble(const Canvas& c, COLORREF fill, COLORREF outline, COLORREF text) {
    {
        Pen pen(c, fill, outline);
        RoundRect(c.dc, 2, 4, 22, 17, 7, 7);
    }
    Shape(c, {{6, 16}, {6, 21}, {11, 16}}, fill, outline);
    if (!c.highContrast)  // hides the seam between the body and the tail; an outline keeps it
        Line(c, 7, 16, 10, 16, fill, 1);
    for (int y : {8, 12})
        Line(c, 6, y, 18, y, text, 1);
}

void DrawTreeNode(const Canvas& c) {
    Bubble(c, RGB(255, 226, 120), RGB(176, 128, 24), RGB(150, 100, 20));
}

void DrawNew(const Canvas& c) {
    Page(c, 3, 1, 18, 21);
    Pen pen(c, RGB(60, 170, 70), RGB(30, 120, 40));
    Ellipse(c.dc, 11, 11, 23, 23);
    Line(c, 17, 13, 17, 21, RGB(255, 255, 255), 2);
    Line(c, 13, 17, 21, 17, RGB(255, 255, 255), 2);
}

void DrawModify(const Canvas& c) {
    Page(c, 2, 1, 17, 21);
    // A pencil lying from the top right to the bottom left.
    Shape(c, {{18, 3}, {22, 7}, {11, 18}, {7, 14}}, RGB(250, 200, 60), RGB(150, 100, 20));
    Shape(c, {{18, 3}, {22, 7}, {20, 9}, {16, 5}}, RGB(230, 120, 130), RGB(150, 60, 70));
    Shape(c, {{7, 14}, {11, 18}, {5, 20}}, RGB(240, 215, 170), RGB(150, 100, 20));
    Line(c, 5, 20, 6, 19, RGB(40, 40, 40), 2);
}

void DrawDelete(const Canvas& c) {
    Line(c, 5, 5, 19, 19, RGB(150, 20, 20), 5);
    Line(c, 19, 5, 5, 19, RGB(150, 20, 20), 5);
    Line(c, 5, 5, 19, 19, RGB(225, 50, 45), 3);
    Line(c, 19, 5, 5, 19, RGB(225, 50, 45), 3);
}

void DrawSave(const Canvas& c) {
    // A diskette: body, label, shutter.
    Shape(c, {{2, 2}, {19, 2}, {22, 5}, {22, 22}, {2, 22}}, RGB(50, 90, 170), RGB(25, 50, 110));
    Box(c, 5, 3, 19, 11, RGB(255, 255, 255), RGB(25, 50, 110));
    Line(c, 7, 6, 17, 6, RGB(120, 150, 200), 1);
    Line(c, 7, 8, 17, 8, RGB(120, 150, 200), 1);
    Box(c, 6, 14, 18, 22, RGB(200, 205, 215), RGB(25, 50, 110));
    Box(c, 13, 15, 16, 21, RGB(50, 90, 170), RGB(50, 90, 170));
}

void DrawQuit(const Canvas& c) {
    // An open door with an arrow leaving through it.
    Box(c, 3, 2, 15, 22, RGB(170, 120, 70), RGB(100, 65, 30));
    Shape(c, {{3, 2}, {10, 5}, {10, 23}, {3, 22}}, RGB(120, 80, 40), RGB(80, 50, 20));
    Box(c, 7, 12, 9, 14, RGB(240, 210, 90), RGB(240, 210, 90));
    Line(c, 11, 12, 19, 12, RGB(40, 150, 60), 3);
    Shape(c, {{17, 7}, {23, 12}, {17, 17}}, RGB(40, 150, 60), RGB(25, 110, 40));
}

void DrawLeftOut(const Canvas& c) {
    // The phrase bubble greyed out, with a red bar: this phrase is not in the compiled file.
    Bubble(c, RGB(225, 225, 225), RGB(130, 130, 130), RGB(150, 150, 150));
    Pen pen(c, RGB(220, 40, 40), RGB(150, 20, 20));
    Ellipse(c.dc, 12, 11, 23, 22);
    Line(c, 14, 16, 21, 16, RGB(255, 255, 255), 2);
}

void DrawUndo(const Canvas& c) {
    Pen pen(c, RGB(40, 110, 190), RGB(40, 110, 190), 3);
    Arc(c.dc, 5, 5, 21, 21, 13, 21, 6,
        9);  // from the bottom, round the right side, to the top left
    Shape(c, {{2, 9}, {10, 4}, {10, 14}}, RGB(40, 110, 190), RGB(20, 70, 140));
}

void DrawRedo(const Canvas& c) {
    Pen pen(c, RGB(40, 110, 190), RGB(40, 110, 190), 3);
    Arc(c.dc, 3, 5, 19, 21, 18, 9, 11,
        21);  // from the top right, round the left side, to the bottom
    Shape(c, {{22, 9}, {14, 4}, {14, 14}}, RGB(40, 110, 190), RGB(20, 70, 140));
}

void DrawFind(const Canvas& c) {
    Line(c, 14, 14, 21, 21, RGB(90, 60, 30), 4);
    Pen pen(c, RGB(200, 225, 250), RGB(60, 80, 110), 2);
    Ellipse(c.dc, 3, 3, 16, 16);
}

void DrawVerticalArrow(const Canvas& c, bool up) {
    const auto y = [up](int value) { return up ? value : 24 - value; };
    Shape(c,
          {{12, y(2)}, {21, y(11)}, {15, y(11)}, {15, y(21)}, {9, y(21)}, {9, y(11)}, {3, y(11)}},
          RGB(60, 170, 70), RGB(30, 110, 40));
}

void DrawMoveUp(const Canvas& c) { DrawVerticalArrow(c, true); }

void DrawMoveDown(const Canvas& c) { DrawVerticalArrow(c, false); }

void DrawNewCategory(const Canvas& c) {
    // A folder with a green plus.
    Shape(c, {{2, 5}, {9, 5}, {11, 7}, {20, 7}, {20, 19}, {2, 19}}, RGB(245, 200, 90),
          RGB(170, 120, 30));
    Line(c, 2, 10, 20, 10, RGB(170, 120, 30), 1);
    Pen pen(c, RGB(60, 170, 70), RGB(30, 120, 40));
    Ellipse(c.dc, 11, 11, 23, 23);
    Line(c, 17, 13, 17, 21, RGB(255, 255, 255), 2);
    Line(c, 13, 17, 21, 17, RGB(255, 255, 255), 2);
}

void DrawRestore(const Canvas& c) {
    // A page with a turning arrow: the earlier version coming back.
    Page(c, 7, 1, 22, 21);
    Pen pen(c, RGB(40, 110, 190), RGB(40, 110, 190), 3);
    Arc(c.dc, 2, 8, 14, 22, 8, 22, 3, 12);
    Shape(c, {{0, 13}, {6, 8}, {7, 15}}, RGB(40, 110, 190), RGB(20, 70, 140));
}

void DrawFilter(const Canvas& c) {
    // A funnel: what passes through it is what the filter leaves.
    Shape(c, {{2, 3}, {22, 3}, {14, 12}, {14, 21}, {10, 18}, {10, 12}}, RGB(80, 150, 220),
          RGB(25, 70, 140));
    Line(c, 4, 5, 20, 5, RGB(200, 225, 250), 1);
}

// The mark of a chosen phrase, laid over its picture: a ticked disc at the top right, where the
// mark of a phrase left out (at the bottom right) does not hide it.
void DrawChosenMark(const Canvas& c) {
    {
        Pen pen(c, RGB(30, 140, 60), RGB(255, 255, 255), 2);
        Ellipse(c.dc, 11, 0, 24, 13);
    }
    Line(c, 14, 6, 17, 9, RGB(255, 255, 255), 2);
    Line(c, 17, 9, 21, 3, RGB(255, 255, 255), 2);
}

using DrawImage = void (*)(const Canvas&);
constexpr DrawImage kImages[] = {DrawTreeNode,    DrawNew,     DrawModify,  DrawDelete,
                                 DrawSave,        DrawQuit,    DrawLeftOut, DrawUndo,
                                 DrawRedo,        DrawFind,    DrawMoveUp,  DrawMoveDown,
                                 DrawNewCategory, DrawRestore, DrawFilter,  DrawChosenMark};
static_assert(std::size(kImages) == kChosenImage + 1);

}  // namespace

platform::UniqueHimagelist CreateEditorImages(int size, UINT inkColor) {
    constexpr int count = static_cast<int>(std::size(kImages));
    platform::UniqueHimagelist images(
        ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, count, 0));
    const platform::WindowDc screen(nullptr);
    const platform::UniqueHdc dc(CreateCompatibleDC(screen.Get()));
    const platform::UniqueHbitmap strip(CreateCompatibleBitmap(screen.Get(), size * count, size));
    {
        const platform::SelectedObject selected(dc.Get(), strip.Get());
        const RECT all{0, 0, size * count, size};
        const platform::UniqueHbrush key(CreateSolidBrush(kKey));
        FillRect(dc.Get(), &all, key.Get());
        const Canvas canvas{dc.Get(), app::HighContrast(), GetSysColor(static_cast<int>(inkColor)),
                            GetSysColor(COLOR_WINDOW)};
        SetMapMode(dc.Get(), MM_ANISOTROPIC);
        SetWindowExtEx(dc.Get(), kGrid, kGrid, nullptr);
        SetViewportExtEx(dc.Get(), size, size, nullptr);
        for (int i = 0; i < count; ++i) {
            SetViewportOrgEx(dc.Get(), i * size, 0, nullptr);
            kImages[i](canvas);
        }
        SetMapMode(dc.Get(), MM_TEXT);
        SetViewportOrgEx(dc.Get(), 0, 0, nullptr);
    }
    // The strip is out of the device context now, as ImageList_AddMasked needs it.
    ImageList_AddMasked(images.Get(), strip.Get(), kKey);
    ImageList_SetOverlayImage(images.Get(), kChosenImage, kChosenOverlay);
    return images;
}

}  // namespace editor
