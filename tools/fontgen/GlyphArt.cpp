// The glyphs are drawn upright on the cell grid (x to the right, y down, in
// pixels of the cell) from boxes with rounded corners, polygons and fillets,
// each either adding ink or cutting it away, in order. Rasterising shears
// them into the italic and samples each pixel 16 x 16 times. All coordinates
// are multiples of 1/16 and every inside test uses products and sums only, so
// the samples are exact and the tool gives the same bytes on every machine.
#include "tools/fontgen/GlyphArt.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

struct Point {
    double x, y;
};

enum ShapeKind { boxShape, polygonShape, filletShape };
enum Corner { topLeft, topRight, bottomRight, bottomLeft };

struct Shape {
    ShapeKind kind;
    bool cut;
    double x0, y0, x1, y1;
    double radius[4]; // corners in the order of Corner
    Corner corner;    // the corner a fillet rounds
    std::vector<Point> points;
};

typedef std::vector<Shape> Outline;

struct GlyphOutline {
    char code;
    Outline outline;
};

Shape Box(double x0, double y0, double x1, double y1, double tl = 0, double tr = 0,
          double br = 0, double bl = 0)
{
    Shape s;
    s.kind = boxShape;
    s.cut = false;
    s.x0 = x0;
    s.y0 = y0;
    s.x1 = x1;
    s.y1 = y1;
    s.radius[topLeft] = tl;
    s.radius[topRight] = tr;
    s.radius[bottomRight] = br;
    s.radius[bottomLeft] = bl;
    s.corner = topLeft;
    return s;
}

Shape Round(double x0, double y0, double x1, double y1, double r)
{
    return Box(x0, y0, x1, y1, r, r, r, r);
}

Shape Poly(std::initializer_list<Point> points)
{
    Shape s = Box(0, 0, 0, 0);
    s.kind = polygonShape;
    s.points = points;
    return s;
}

// A straight stroke from one point to another, its ends cut horizontally,
// width measured horizontally.
Shape Stroke(Point from, Point to, double width)
{
    double h = width / 2;
    return Poly({{from.x - h, from.y}, {from.x + h, from.y}, {to.x + h, to.y}, {to.x - h, to.y}});
}

// The ink outside a quarter circle of radius r in the given corner of the
// square whose corner is (x, y). Cut away, it rounds an outer corner that
// earlier cuts left square.
Shape Fillet(double x, double y, double r, Corner corner)
{
    Shape s = Box(0, 0, 0, 0);
    s.kind = filletShape;
    s.corner = corner;
    s.radius[0] = r;
    s.x0 = (corner == topLeft || corner == bottomLeft) ? x : x - r;
    s.x1 = s.x0 + r;
    s.y0 = (corner == topLeft || corner == topRight) ? y : y - r;
    s.y1 = s.y0 + r;
    return s;
}

Shape Cut(Shape s)
{
    s.cut = true;
    return s;
}

bool OutsideArc(double x, double y, double cx, double cy, double r)
{
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) > r * r;
}

bool BoxContains(const Shape& s, double x, double y)
{
    if (x < s.x0 || x >= s.x1 || y < s.y0 || y >= s.y1)
        return false;
    double r = s.radius[topLeft];
    if (r > 0 && x < s.x0 + r && y < s.y0 + r && OutsideArc(x, y, s.x0 + r, s.y0 + r, r))
        return false;
    r = s.radius[topRight];
    if (r > 0 && x > s.x1 - r && y < s.y0 + r && OutsideArc(x, y, s.x1 - r, s.y0 + r, r))
        return false;
    r = s.radius[bottomRight];
    if (r > 0 && x > s.x1 - r && y > s.y1 - r && OutsideArc(x, y, s.x1 - r, s.y1 - r, r))
        return false;
    r = s.radius[bottomLeft];
    if (r > 0 && x < s.x0 + r && y > s.y1 - r && OutsideArc(x, y, s.x0 + r, s.y1 - r, r))
        return false;
    return true;
}

bool FilletContains(const Shape& s, double x, double y)
{
    if (x < s.x0 || x >= s.x1 || y < s.y0 || y >= s.y1)
        return false;
    double r = s.radius[0];
    double cx = (s.corner == topLeft || s.corner == bottomLeft) ? s.x1 : s.x0;
    double cy = (s.corner == topLeft || s.corner == topRight) ? s.y1 : s.y0;
    return OutsideArc(x, y, cx, cy, r);
}

// Crossing count of a ray towards +x; the edge test is the sign of a cross
// product instead of a division, so it is exact.
bool PolygonContains(const Shape& s, double x, double y)
{
    bool inside = false;
    size_t n = s.points.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point& a = s.points[j];
        const Point& b = s.points[i];
        if ((a.y <= y) == (b.y <= y))
            continue;
        double side = (x - a.x) * (b.y - a.y) - (y - a.y) * (b.x - a.x);
        if (b.y < a.y)
            side = -side;
        if (side < 0)
            inside = !inside;
    }
    return inside;
}

bool ShapeContains(const Shape& s, double x, double y)
{
    switch (s.kind) {
    case boxShape: return BoxContains(s, x, y);
    case polygonShape: return PolygonContains(s, x, y);
    case filletShape: return FilletContains(s, x, y);
    }
    return false;
}

bool OutlineContains(const Outline& outline, double x, double y)
{
    bool inside = false;
    for (const Shape& s : outline)
        if (ShapeContains(s, x, y))
            inside = !s.cut;
    return inside;
}

// Upright metrics. The body and the digits stand on rows 9 to 38, ascenders
// start at row 0 and descenders end at row 47.
const double top = 0;
const double bodyTop = 9;
const double baseline = 39;
const double descent = 48;
// Most glyphs span 40 pixels upright from column 2; the slant adds about 4.
const double left = 2;
const double right = 42;
const double stem = 16;  // vertical strokes
const double digitStem = 15;
const double bar = 7;    // horizontal strokes
const double outer = 9;  // outer corner of a bowl
const double inner = 3;  // corner of a counter

// A closed bowl: a rounded box with a counter cut out.
void AddBowl(Outline& o, double x0, double y0, double x1, double y1, double sideWidth,
             double tl = outer, double tr = outer, double br = outer, double bl = outer)
{
    o.push_back(Box(x0, y0, x1, y1, tl, tr, br, bl));
    o.push_back(Cut(Round(x0 + sideWidth, y0 + bar, x1 - sideWidth, y1 - bar, inner)));
}

std::vector<GlyphOutline> DescribeGlyphs()
{
    std::vector<GlyphOutline> g;
    Outline o;

    // a: double-storey, the upper gap open to the left.
    o.clear();
    o.push_back(Box(left, bodyTop, right, bodyTop + bar, 3, outer, 0, 2));
    o.push_back(Box(right - stem, bodyTop, right, baseline, 0, outer, 0, 0));
    o.push_back(Box(left, 20, right, baseline, outer, 0, 0, outer));
    o.push_back(Cut(Round(left + stem, 26, right - stem, baseline - bar, inner)));
    g.push_back({'a', o});

    // b
    o.clear();
    o.push_back(Box(left, top, left + stem, baseline, 2, 2, 0, 0));
    AddBowl(o, left, bodyTop, right, baseline, stem, 0, outer, outer, 0);
    g.push_back({'b', o});

    // c: a bowl with its right side opened.
    o.clear();
    AddBowl(o, left, bodyTop, right, baseline, stem);
    o.push_back(Cut(Box(left + stem + inner, bodyTop + bar, right + 1, baseline - bar)));
    o.push_back(Cut(Fillet(right, bodyTop + bar, 3, bottomRight)));
    o.push_back(Cut(Fillet(right, baseline - bar, 3, topRight)));
    g.push_back({'c', o});

    // d
    o.clear();
    o.push_back(Box(right - stem, top, right, baseline, 2, 2, 0, 0));
    AddBowl(o, left, bodyTop, right, baseline, stem, outer, 0, 0, outer);
    g.push_back({'d', o});

    // e: crossbar across the counter, the lower right opened.
    o.clear();
    AddBowl(o, left, bodyTop, right, baseline, stem);
    o.push_back(Box(left + stem, 21, right, 26));
    o.push_back(Cut(Box(left + stem + inner, 26, right + 1, baseline - bar)));
    o.push_back(Cut(Fillet(right, baseline - bar, 3, topRight)));
    g.push_back({'e', o});

    // f: stem with a hook over the top and a crossbar at the body's top.
    o.clear();
    o.push_back(Box(9, top, 9 + stem, baseline, outer, 0, 0, 0));
    o.push_back(Box(9, top, 41, 6, outer, 3, 3, 0));
    o.push_back(Box(left, 10, 36, 10 + bar, 2, 2, 2, 2));
    g.push_back({'f', o});

    // g: single-storey bowl, the right stem turning left under the baseline.
    o.clear();
    AddBowl(o, left, bodyTop, right, 37, stem, outer, 0, 0, outer);
    o.push_back(Box(right - stem, bodyTop, right, descent, 0, 0, outer, 0));
    o.push_back(Box(left + 3, 41, right, descent, 3, 0, outer, 3));
    g.push_back({'g', o});

    // h
    o.clear();
    o.push_back(Box(left, top, left + stem, baseline, 2, 2, 0, 0));
    o.push_back(Box(left, bodyTop, right, baseline, 0, outer, 0, 0));
    o.push_back(Cut(Box(left + stem, bodyTop + bar, right - stem, baseline + 1, 0, inner)));
    g.push_back({'h', o});

    // i and l: one stem, centred with its slant.
    o.clear();
    o.push_back(Round(13.5, top, 13.5 + stem, 6, 2));
    o.push_back(Box(13.5, bodyTop, 13.5 + stem, baseline, 2, 2, 0, 0));
    g.push_back({'i', o});

    // j
    o.clear();
    o.push_back(Round(22, top, 22 + stem, 6, 2));
    o.push_back(Box(22, bodyTop, 22 + stem, descent, 2, 2, outer, 0));
    o.push_back(Box(9, 41, 22 + stem, descent, 3, 0, outer, 3));
    g.push_back({'j', o});

    // k: stem, an arm up to the right and a leg down to the right.
    o.clear();
    o.push_back(Box(left, top, left + stem, baseline, 2, 2, 0, 0));
    o.push_back(Poly({{left + stem - 2, 20}, {right - 15, bodyTop}, {right, bodyTop},
                      {left + stem + 8, 28}, {left + stem - 2, 28}}));
    o.push_back(Poly({{left + stem + 1, 24}, {left + stem + 11, 21}, {right, baseline},
                      {right - 15, baseline}}));
    g.push_back({'k', o});

    o.clear();
    o.push_back(Box(13.5, top, 13.5 + stem, baseline, 2, 2, 0, 0));
    g.push_back({'l', o});

    // m: three narrower stems to fit the full cell width.
    o.clear();
    o.push_back(Box(0, bodyTop, 44, baseline, 0, outer, 0, 0));
    o.push_back(Cut(Box(11, bodyTop + bar, 16.5, baseline + 1, 0, 2)));
    o.push_back(Cut(Box(27.5, bodyTop + bar, 33, baseline + 1, 0, 2)));
    g.push_back({'m', o});

    // n
    o.clear();
    o.push_back(Box(left, bodyTop, right, baseline, 0, outer, 0, 0));
    o.push_back(Cut(Box(left + stem, bodyTop + bar, right - stem, baseline + 1, 0, inner)));
    g.push_back({'n', o});

    // o
    o.clear();
    AddBowl(o, left, bodyTop, right, baseline, stem);
    g.push_back({'o', o});

    // p
    o.clear();
    o.push_back(Box(left, bodyTop, left + stem, descent));
    AddBowl(o, left, bodyTop, right, baseline, stem, 0, outer, outer, 0);
    g.push_back({'p', o});

    // q
    o.clear();
    o.push_back(Box(right - stem, bodyTop, right, descent));
    AddBowl(o, left, bodyTop, right, baseline, stem, outer, 0, 0, outer);
    g.push_back({'q', o});

    // r: stem and a short arm.
    o.clear();
    o.push_back(Box(left, bodyTop, left + stem, baseline));
    o.push_back(Box(left, bodyTop, 37, bodyTop + 8, 0, 7, 2, 0));
    g.push_back({'r', o});

    // s: upper gap open to the right, lower gap open to the left.
    o.clear();
    o.push_back(Round(left, bodyTop, right, baseline, outer));
    o.push_back(Cut(Box(left + stem, bodyTop + bar, right + 1, 21, inner, 0, 0, inner)));
    o.push_back(Cut(Box(left - 1, 27, right - stem, baseline - bar, 0, inner, inner, 0)));
    o.push_back(Cut(Fillet(right, bodyTop + bar, 3, bottomRight)));
    o.push_back(Cut(Fillet(right, 21, 7, topRight)));
    o.push_back(Cut(Fillet(left, 27, 7, bottomLeft)));
    o.push_back(Cut(Fillet(left, baseline - bar, 3, topLeft)));
    g.push_back({'s', o});

    // t: stem from the top, crossbar, foot turning right.
    o.clear();
    o.push_back(Box(7, top, 7 + stem, baseline, 2, 2, 0, outer));
    o.push_back(Box(left, bodyTop, 38, bodyTop + bar, 2, 2, 2, 2));
    o.push_back(Box(7, baseline - bar, 38, baseline, 0, 2, 2, outer));
    g.push_back({'t', o});

    // u
    o.clear();
    o.push_back(Box(left, bodyTop, right, baseline, 0, 0, 0, outer));
    o.push_back(Cut(Box(left + stem, bodyTop - 1, right - stem, baseline - bar, 0, 0, 0, inner)));
    g.push_back({'u', o});

    // v
    o.clear();
    o.push_back(Poly({{left, bodyTop}, {left + 15, bodyTop}, {22, 29}, {right - 15, bodyTop},
                      {right, bodyTop}, {29.5, baseline}, {14.5, baseline}}));
    g.push_back({'v', o});

    // w: the full cell width, the middle stroke up to the body's top. The
    // upright outline starts left of the cell so that the slanted glyph
    // touches column 0 at the top.
    o.clear();
    o.push_back(Poly({{-3.5, bodyTop}, {8, bodyTop}, {11, 27}, {14.25, bodyTop}, {25.25, bodyTop},
                      {28.5, 27}, {31.5, bodyTop}, {43, bodyTop}, {37.5, baseline}, {26, baseline},
                      {19.75, 28}, {13.5, baseline}, {2, baseline}}));
    g.push_back({'w', o});

    // x
    o.clear();
    o.push_back(Stroke({left + 7.5, bodyTop}, {right - 7.5, baseline}, 15));
    o.push_back(Stroke({right - 7.5, bodyTop}, {left + 7.5, baseline}, 15));
    g.push_back({'x', o});

    // y: a v whose right arm runs on into the descender.
    o.clear();
    o.push_back(Stroke({right - 7.5, bodyTop}, {left + 7.5, descent}, 15));
    o.push_back(Poly({{left, bodyTop}, {left + 15, bodyTop}, {27, 31}, {17, 36}}));
    g.push_back({'y', o});

    // z
    o.clear();
    o.push_back(Box(left + 2, bodyTop, right, bodyTop + bar, 2, 2, 0, 2));
    o.push_back(Box(left, baseline - bar, right - 2, baseline, 0, 2, 2, 2));
    o.push_back(Poly({{right - 17, bodyTop + bar}, {right, bodyTop + bar},
                      {left + 17, baseline - bar}, {left, baseline - bar}}));
    g.push_back({'z', o});

    // 0: slashed inside its counter, to tell it from the o.
    o.clear();
    AddBowl(o, left, bodyTop, right, baseline, digitStem);
    o.push_back(Poly({{18, 30}, {22, 30}, {26, 18}, {22, 18}}));
    g.push_back({'0', o});

    // 1: flag to the left and a foot bar 33 pixels wide.
    o.clear();
    o.push_back(Box(14, bodyTop, 30, baseline, 2, 2, 0, 0));
    o.push_back(Poly({{14, bodyTop}, {16, bodyTop}, {16, bodyTop + 8}, {5, bodyTop + 13},
                      {5, bodyTop + 5}}));
    o.push_back(Box(5.5, baseline - bar, 38.5, baseline, 2, 2, 0, 0));
    g.push_back({'1', o});

    // 2: round shoulder, a diagonal down to the foot bar.
    o.clear();
    o.push_back(Box(left, bodyTop, right, 24, outer, outer, 6, 0));
    o.push_back(Cut(Box(left - 1, bodyTop + bar, right - digitStem, 25, 0, inner)));
    o.push_back(Cut(Fillet(left, bodyTop + bar, 3, bottomLeft)));
    o.push_back(Poly({{right - digitStem, 19}, {right, 19}, {left + 17, baseline - bar + 1},
                      {left, baseline - bar + 1}}));
    o.push_back(Box(left, baseline - bar, right, baseline, 0, 2, 2, 0));
    g.push_back({'2', o});

    // 3: two gaps open to the left, a notch at the waist on the right.
    o.clear();
    o.push_back(Round(left, bodyTop, right, baseline, outer));
    o.push_back(Cut(Box(left - 1, bodyTop + bar, right - digitStem, 21, 0, inner, inner, 0)));
    o.push_back(Cut(Box(left - 1, 27, right - digitStem, baseline - bar, 0, inner, inner, 0)));
    o.push_back(Cut(Box(left - 1, 20, left + 9, 28)));
    o.push_back(Cut(Fillet(left, bodyTop + bar, 3, bottomLeft)));
    o.push_back(Cut(Fillet(left, baseline - bar, 3, topLeft)));
    o.push_back(Cut(Fillet(left + 9, 21, 2, topLeft)));
    o.push_back(Cut(Fillet(left + 9, 27, 2, bottomLeft)));
    o.push_back(Cut(Poly({{right + 1, 21}, {right - 3, 24}, {right + 1, 27}})));
    g.push_back({'3', o});

    // 4: open at the top.
    o.clear();
    o.push_back(Box(left, bodyTop, left + digitStem, 31, 2, 2, 0, 3));
    o.push_back(Box(left, 24, right, 31, 0, 2, 2, 3));
    o.push_back(Box(24, bodyTop, 24 + digitStem, baseline, 2, 2, 2, 2));
    g.push_back({'4', o});

    // 5: square flag, lower bowl open to the left.
    o.clear();
    o.push_back(Box(left, bodyTop, right, bodyTop + bar, 2, 2, 0, 0));
    o.push_back(Box(left, bodyTop, left + digitStem, 26, 2, 0, 0, 0));
    o.push_back(Box(left, 19, right, baseline, 0, outer, outer, outer));
    o.push_back(Cut(Box(left - 1, 26, right - digitStem, baseline - bar, 0, inner, inner, 0)));
    o.push_back(Cut(Fillet(left, baseline - bar, 3, topLeft)));
    g.push_back({'5', o});

    // 6
    o.clear();
    o.push_back(Round(left, bodyTop, right, baseline, outer));
    o.push_back(Cut(Box(left + digitStem, bodyTop + bar, right + 1, 20, inner, 0, 0, inner)));
    o.push_back(Cut(Round(left + digitStem, 26, right - digitStem, baseline - bar, inner)));
    o.push_back(Cut(Fillet(right, bodyTop + bar, 3, bottomRight)));
    o.push_back(Cut(Fillet(right, 20, 6, topRight)));
    g.push_back({'6', o});

    // 7
    o.clear();
    o.push_back(Box(left, bodyTop, right, bodyTop + bar, 2, 2, 0, 2));
    o.push_back(Poly({{right - 16, bodyTop + bar}, {right, bodyTop + bar}, {left + 22, baseline},
                      {left + 7, baseline}}));
    g.push_back({'7', o});

    // 8: two counters, notched at the waist on both sides.
    o.clear();
    o.push_back(Round(left, bodyTop, right, baseline, outer));
    o.push_back(Cut(Round(left + digitStem, bodyTop + bar, right - digitStem, 21, inner)));
    o.push_back(Cut(Round(left + digitStem, 27, right - digitStem, baseline - bar, inner)));
    o.push_back(Cut(Poly({{left - 1, 21}, {left + 3, 24}, {left - 1, 27}})));
    o.push_back(Cut(Poly({{right + 1, 21}, {right - 3, 24}, {right + 1, 27}})));
    g.push_back({'8', o});

    // 9
    o.clear();
    o.push_back(Round(left, bodyTop, right, baseline, outer));
    o.push_back(Cut(Round(left + digitStem, bodyTop + bar, right - digitStem, 22, inner)));
    o.push_back(Cut(Box(left - 1, 28, right - digitStem, baseline - bar, 0, inner, inner, 0)));
    o.push_back(Cut(Fillet(left, 28, 6, bottomLeft)));
    o.push_back(Cut(Fillet(left, baseline - bar, 3, topLeft)));
    g.push_back({'9', o});

    // full stop, rows 27 to 38
    o.clear();
    o.push_back(Round(14, 27, 29, baseline, 3));
    g.push_back({'.', o});

    // comma: the stop with a tail down to row 47
    o.clear();
    o.push_back(Box(14, 27, 29, baseline, 3, 3, 2, 3));
    o.push_back(Poly({{17, baseline - 1}, {29, baseline - 1}, {20, descent}, {10, descent}}));
    g.push_back({',', o});

    // exclamation mark, rows 0 to 41
    o.clear();
    o.push_back(Poly({{13.5, top}, {29.5, top}, {26, 27}, {17, 27}}));
    o.push_back(Round(14.5, 30, 28.5, 42, 3));
    g.push_back({'!', o});

    // solidus, rows 3 to 41
    o.clear();
    o.push_back(Poly({{5, 42}, {18, 42}, {41, 3}, {28, 3}}));
    g.push_back({'/', o});

    // question mark, rows 0 to 41
    o.clear();
    o.push_back(Box(4, top, 40, 23, outer, outer, 6, 0));
    o.push_back(Cut(Box(3, 7, 24, 24, 0, inner, 0, 0)));
    o.push_back(Box(4, top, 19, 14, outer, 0, 3, 3));
    o.push_back(Box(14, 17, 30, 28, 3, 0, 2, 2));
    o.push_back(Round(14, 31, 30, 42, 3));
    g.push_back({'?', o});

    // hyphen, rows 15 to 26
    o.clear();
    o.push_back(Round(6, 15, 36, 27, 3));
    g.push_back({'-', o});

    // apostrophe, rows 0 to 20: a tapering wedge
    o.clear();
    o.push_back(Poly({{15, top}, {30, top}, {24, 21}, {15, 21}}));
    g.push_back({'\'', o});

    return g;
}

// Cell index of each glyph: a to s fill row 0 after the blank cell, then t to
// z, the digits and the punctuation in this order.
int GlyphCell(char code)
{
    const char* order = "abcdefghijklmnopqrstuvwxyz0123456789.,!/?-'";
    const char* at = std::strchr(order, code);
    return at && code ? int(at - order) + 1 : 0;
}

struct Colour {
    int red, green, blue;
};

Colour Mix(Colour a, Colour b, int k, int n)
{
    Colour c;
    c.red = (a.red * (n - k) + b.red * k + n / 2) / n;
    c.green = (a.green * (n - k) + b.green * k + n / 2) / n;
    c.blue = (a.blue * (n - k) + b.blue * k + n / 2) / n;
    return c;
}

// The chrome face: steel blue over the ascenders, pale and brightening down
// to a sharp horizon under row 20, dark navy lightening towards the
// baseline, a shaded bottom edge, and the same again, dimmer, below it.
Colour FaceColour(int row)
{
    if (row <= 8)
        return Mix({149, 171, 192}, {173, 198, 217}, row, 8);
    if (row <= 20)
        return Mix({185, 206, 226}, {245, 250, 253}, row - 9, 11);
    if (row <= 36)
        return Mix({22, 46, 72}, {75, 102, 129}, row - 21, 15);
    if (row == 37)
        return {59, 79, 99};
    if (row == 38)
        return {49, 64, 80};
    if (row <= 45)
        return Mix({82, 109, 136}, {112, 139, 163}, row - 39, 6);
    if (row == 46)
        return {88, 106, 125};
    return {72, 87, 101};
}

// Lit from the left: the three pixels nearest a left-facing edge move
// towards a pale grey-blue (never darker than the face), the two nearest a
// right-facing edge towards a deep navy.
Colour BevelColour(int row, int fromLeft, int fromRight)
{
    const Colour highlight = {214, 226, 240};
    const Colour shadow = {14, 26, 44};
    Colour face = FaceColour(row);
    if (fromRight <= 2 && fromRight < fromLeft)
        return Mix(face, shadow, fromRight == 1 ? 6 : 4, 10);
    if (fromLeft <= 3) {
        static const int weight[4] = {0, 7, 6, 3};
        Colour lit = Mix(face, highlight, weight[fromLeft], 10);
        lit.red = lit.red > face.red ? lit.red : face.red;
        lit.green = lit.green > face.green ? lit.green : face.green;
        lit.blue = lit.blue > face.blue ? lit.blue : face.blue;
        return lit;
    }
    return face;
}

const int samplesPerAxis = 16;
// Coverage in samples out of 256: from 11/16 a pixel is opaque, from 5/16 an
// outline pixel of half alpha.
const int opaqueSamples = 176;
const int outlineSamples = 80;
// Rows and columns checked around each cell for ink that would leak out.
const int margin = 8;

int CountSamples(const Outline& outline, int column, int row)
{
    int count = 0;
    for (int j = 0; j < samplesPerAxis; ++j) {
        double y = row + (j + 0.5) / samplesPerAxis;
        // One pixel to the right for every 8 rows upwards, pivoting on the
        // baseline.
        double shear = (baseline - y) / 8;
        for (int i = 0; i < samplesPerAxis; ++i) {
            double x = column + (i + 0.5) / samplesPerAxis;
            if (OutlineContains(outline, x - shear, y))
                ++count;
        }
    }
    return count;
}

// Half alpha is kept only for a single pixel between outside and inside: a
// half pixel without a transparent neighbour becomes opaque, one without an
// opaque neighbour transparent. Outside the cell counts as transparent.
void KeepSingleOutline(unsigned char alpha[cellSize][cellSize])
{
    auto at = [&](int c, int r) -> int {
        return c < 0 || r < 0 || c >= cellSize || r >= cellSize ? 0 : alpha[r][c];
    };
    unsigned char pass[cellSize][cellSize];
    std::memcpy(pass, alpha, sizeof pass);
    for (int r = 0; r < cellSize; ++r)
        for (int c = 0; c < cellSize; ++c)
            if (alpha[r][c] == 128 && at(c - 1, r) && at(c + 1, r) && at(c, r - 1) && at(c, r + 1))
                pass[r][c] = 255;
    std::memcpy(alpha, pass, sizeof pass);
    for (int r = 0; r < cellSize; ++r)
        for (int c = 0; c < cellSize; ++c) {
            if (alpha[r][c] != 128)
                continue;
            bool opaqueNear = false;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc)
                    opaqueNear = opaqueNear || at(c + dc, r + dr) == 255;
            if (!opaqueNear)
                pass[r][c] = 0;
        }
    std::memcpy(alpha, pass, sizeof pass);
}

bool DrawGlyph(const GlyphOutline& glyph, unsigned char* pixels, std::string& problem)
{
    int cell = GlyphCell(glyph.code);
    int cellX = cell % cellColumns * cellSize;
    int cellY = cell / cellColumns * cellSize;

    unsigned char alpha[cellSize][cellSize];
    for (int r = -margin; r < cellSize + margin; ++r)
        for (int c = -margin; c < cellSize + margin; ++c) {
            int count = CountSamples(glyph.outline, c, r);
            bool inCell = r >= 0 && c >= 0 && r < cellSize && c < cellSize;
            if (!inCell) {
                if (count) {
                    problem = std::string("glyph '") + glyph.code + "' reaches beyond its cell";
                    return false;
                }
                continue;
            }
            alpha[r][c] = count >= opaqueSamples ? 255 : count >= outlineSamples ? 128 : 0;
        }
    KeepSingleOutline(alpha);

    for (int r = 0; r < cellSize; ++r) {
        for (int c = 0; c < cellSize; ++c) {
            if (!alpha[r][c])
                continue;
            int fromLeft = 1;
            while (c - fromLeft >= 0 && alpha[r][c - fromLeft])
                ++fromLeft;
            int fromRight = 1;
            while (c + fromRight < cellSize && alpha[r][c + fromRight])
                ++fromRight;
            Colour colour = BevelColour(r, fromLeft, fromRight);
            unsigned char* p = pixels + 4 * ((cellY + r) * atlasWidth + cellX + c);
            p[0] = (unsigned char)colour.blue;
            p[1] = (unsigned char)colour.green;
            p[2] = (unsigned char)colour.red;
            p[3] = alpha[r][c];
        }
    }
    return true;
}

} // namespace

bool DrawFontAtlas(unsigned char* pixels, std::string& problem)
{
    // Transparent white everywhere a glyph leaves blank.
    for (int i = 0; i < atlasPixelBytes; i += 4) {
        pixels[i] = pixels[i + 1] = pixels[i + 2] = 255;
        pixels[i + 3] = 0;
    }
    for (const GlyphOutline& glyph : DescribeGlyphs())
        if (!DrawGlyph(glyph, pixels, problem))
            return false;
    return true;
}
