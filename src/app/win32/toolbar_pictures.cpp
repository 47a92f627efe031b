// The toolbar pictures, drawn with GDI on a 16-unit grid scaled to the button size.
#include "app/win32/toolbar_pictures.h"

#include <vector>

#include "platform/win32/desktop.h"
#include "platform/win32/handles.h"

namespace zv {
namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);

// Drawing on a 16 x 16 design grid that is scaled to the picture's size.
class Canvas {
public:
    Canvas(HDC dc, int size, int originX, int originY) : dc_(dc), size_(size), x0_(originX), y0_(originY) {}

    // Design unit 16 is the first pixel of the next cell: what is drawn stays left of and above it.
    int X(double u) const { return x0_ + static_cast<int>(u * size_ / 16.0 + 0.5); }
    int Y(double u) const { return y0_ + static_cast<int>(u * size_ / 16.0 + 0.5); }
    // A line width: never thinner than one pixel.
    int W(double u) const {
        const int w = static_cast<int>(u * size_ / 16.0 + 0.5);
        return w > 0 ? w : 1;
    }

    void Rect(double l, double t, double r, double b, COLORREF fill, COLORREF line) {
        Tools tools(dc_, fill, line, W(1));
        Rectangle(dc_, X(l), Y(t), X(r), Y(b));
    }
    void Ellipse(double l, double t, double r, double b, COLORREF fill, COLORREF line, double width = 1) {
        Tools tools(dc_, fill, line, W(width));
        ::Ellipse(dc_, X(l), Y(t), X(r), Y(b));
    }
    void Polygon(std::initializer_list<POINT> design, COLORREF fill, COLORREF line) {
        std::vector<POINT> pts;
        for (POINT p : design) pts.push_back({X(p.x / 2.0), Y(p.y / 2.0)});
        Tools tools(dc_, fill, line, W(1));
        ::Polygon(dc_, pts.data(), static_cast<int>(pts.size()));
    }
    // Points in half units of the design grid.
    void Line(std::initializer_list<POINT> design, COLORREF colour, double width) {
        std::vector<POINT> pts;
        for (POINT p : design) pts.push_back({X(p.x / 2.0), Y(p.y / 2.0)});
        UniquePen pen(CreatePen(PS_SOLID, W(width), colour));
        SelectedObject selected(dc_, pen.get());
        Polyline(dc_, pts.data(), static_cast<int>(pts.size()));
    }
    void Pie(double l, double t, double r, double b, double x1, double y1, double x2, double y2, COLORREF fill) {
        Tools tools(dc_, fill, fill, 1);
        ::Pie(dc_, X(l), Y(t), X(r), Y(b), X(x1), Y(y1), X(x2), Y(y2));
    }
    void Text(const char* text, double l, double t, double r, double b, COLORREF colour) {
        UniqueFont font(CreateFontA(-W(13), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial"));
        SelectedObject selected(dc_, font.get());
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, colour);
        RECT box{X(l), Y(t), X(r), Y(b)};
        DrawTextA(dc_, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }

private:
    // A brush and pen selected for one shape.
    class Tools {
    public:
        Tools(HDC dc, COLORREF fill, COLORREF line, int width)
            : brush_(CreateSolidBrush(fill)),
              pen_(CreatePen(PS_SOLID, width, line)),
              selBrush_(dc, brush_.get()),
              selPen_(dc, pen_.get()) {}

    private:
        UniqueBrush brush_;
        UniquePen pen_;
        SelectedObject selBrush_;
        SelectedObject selPen_;
    };

    HDC dc_;
    int size_;
    int x0_;
    int y0_;
};

const COLORREF kNavy = RGB(0, 0, 128);
const COLORREF kBlue = RGB(0, 64, 192);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kGreen = RGB(0, 160, 0);
const COLORREF kYellow = RGB(255, 208, 0);
const COLORREF kRed = RGB(208, 0, 0);
const COLORREF kGray = RGB(128, 128, 128);
const COLORREF kSilver = RGB(192, 192, 192);
const COLORREF kFolder = RGB(240, 200, 80);
const COLORREF kDarkFolder = RGB(160, 120, 0);

// A speed dial, as on the program icon.
void DrawAutomatic(Canvas& c) {
    c.Ellipse(0.5, 0.5, 15.5, 15.5, kWhite, kNavy, 1.5);
    // Arcs run counterclockwise from their first point to the second.
    c.Pie(3, 3, 13, 13, 5, 3.5, 3, 8, kGreen);
    c.Pie(3, 3, 13, 13, 11, 3.5, 5, 3.5, kYellow);
    c.Pie(3, 3, 13, 13, 13, 8, 11, 3.5, kRed);
    c.Ellipse(5, 5, 11, 11, kWhite, kWhite);
    c.Line({{16, 16}, {23, 9}}, RGB(0, 0, 0), 1.5);
    c.Ellipse(6.5, 6.5, 9.5, 9.5, kNavy, kNavy);
}

// Three sliders set by hand.
void DrawCustom(Canvas& c) {
    const double rows[3] = {3, 8, 13};
    const double knobs[3] = {5, 11, 7};
    for (int i = 0; i < 3; ++i) {
        c.Line({{2, static_cast<LONG>(rows[i] * 2)}, {30, static_cast<LONG>(rows[i] * 2)}}, kGray, 1);
        c.Rect(knobs[i] - 1.5, rows[i] - 2, knobs[i] + 1.5, rows[i] + 2, kBlue, kNavy);
    }
}

// A heartbeat line: the keep-alive program. The ends keep half the pen's width from the cell's edges.
void DrawPulsiva(Canvas& c) {
    c.Line({{3, 17}, {9, 17}, {12, 7}, {16, 27}, {20, 3}, {23, 17}, {28, 17}}, kRed, 2);
}

// A box with an arrow going into it (backup) or coming out of it (restore).
void DrawBox(Canvas& c) {
    c.Rect(1.5, 8.5, 14.5, 15, kFolder, kDarkFolder);
    c.Rect(1.5, 8.5, 14.5, 10.5, kDarkFolder, kDarkFolder);
}

void DrawBackup(Canvas& c) {
    DrawBox(c);
    c.Polygon({{12, 1}, {20, 1}, {20, 9}, {25, 9}, {16, 18}, {7, 9}, {12, 9}}, kGreen, RGB(0, 96, 0));
}

void DrawRestore(Canvas& c) {
    DrawBox(c);
    c.Polygon({{12, 18}, {20, 18}, {20, 10}, {25, 10}, {16, 1}, {7, 10}, {12, 10}}, kBlue, kNavy);
}

// A settings window with an arrow launching out of it.
void DrawLauncher(Canvas& c) {
    c.Rect(0.5, 3.5, 12.5, 15.5, kWhite, kNavy);
    c.Rect(0.5, 3.5, 12.5, 6, kBlue, kNavy);
    c.Rect(2.5, 8, 5.5, 10, kSilver, kGray);
    c.Rect(2.5, 11.5, 5.5, 13.5, kSilver, kGray);
    // The shaft ends inside the head; the head's tip is the cell's last column.
    c.Line({{14, 20}, {27, 7}}, kRed, 2);
    c.Polygon({{20, 2}, {30, 1}, {29, 12}}, kRed, kRed);
}

// A question mark on a blue disc.
void DrawHelp(Canvas& c) {
    c.Ellipse(0.5, 0.5, 15.5, 15.5, kBlue, kNavy);
    c.Text("?", 0, 0, 16, 16, kWhite);
}

}  // namespace

void DrawToolbarPicture(HDC dc, int picture, int size, int x, int y) {
    void (*const pictures[kToolbarPictures])(Canvas&) = {DrawAutomatic, DrawCustom,   DrawPulsiva, DrawBackup,
                                                        DrawRestore,   DrawLauncher, DrawHelp};
    if (picture < 0 || picture >= kToolbarPictures) return;
    Canvas canvas(dc, size, x, y);
    pictures[picture](canvas);
}

HIMAGELIST DrawToolbarPictures(int size) {
    if (size < 8) size = 8;
    const int width = size * kToolbarPictures;
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    std::uint32_t* bits = nullptr;
    UniqueBitmap strip(CreateDib32(width, size, &bits));
    if (!dc || !strip) return nullptr;
    {
        SelectedObject selected(dc.get(), strip.get());
        UniqueBrush background(CreateSolidBrush(kMask));
        RECT all{0, 0, width, size};
        FillRect(dc.get(), &all, background.get());
        for (int i = 0; i < kToolbarPictures; ++i) DrawToolbarPicture(dc.get(), i, size, i * size, 0);
    }
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kToolbarPictures, 0);
    if (!list) return nullptr;
    ImageList_AddMasked(list, strip.get(), kMask);
    return list;
}

}  // namespace zv
