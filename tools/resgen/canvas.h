// A small RGBA raster with the few drawing operations the artwork needs:
// flat and graded fills, anti-aliased shapes (by supersampling an inside
// test) and a pixel font.  Top-down rows, straight (not premultiplied) alpha.
//
// The drawing operations take layout coordinates; a canvas made for a
// display scale (1.5 for 150 %) has that many pixels per layout unit, so the
// same artwork comes out larger and as sharp.  width(), height(), at() and
// set() are about the pixels themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace resgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
    Rgb rgb() const { return {r, g, b}; }
};

// Linear mix: t = 0 gives a, t = 1 gives b.
Rgb mix(Rgb a, Rgb b, double t);

// An inside test in pixel coordinates (pixel x covers [x, x + 1)).
using InsideFn = std::function<bool(double x, double y)>;

struct Box {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // half-open: [x0, x1) x [y0, y1)
};

class Canvas {
public:
    // `width` x `height` layout units at `scale` pixels each (rounded).
    Canvas(int width, int height, Rgba fill = {}, double scale = 1.0);

    int width() const { return width_; }
    int height() const { return height_; }
    double scale() const { return scale_; }
    // The size in layout units.
    int layoutWidth() const { return layoutWidth_; }

    Rgba at(int x, int y) const;
    void set(int x, int y, Rgba c);

    // Source-over blend of an opaque colour with coverage `alpha` (0..1).
    void blend(int x, int y, Rgb c, double alpha);

    void fillRect(Box box, Rgb c);
    // `c` over every pixel of `box` with coverage `alpha`.
    void blendRect(Box box, Rgb c, double alpha);
    void fillVerticalGradient(Box box, Rgb top, Rgb bottom);
    void fillHorizontalGradient(Box box, Rgb left, Rgb right);

    // Paints every pixel of `bounds` with the share of its 4 x 4 sub-samples
    // that `inside` accepts, times `opacity`.  Shapes must be at least half
    // a pixel thick.
    void fillShape(Box bounds, const InsideFn& inside, Rgb c, double opacity = 1.0);

    // Same coverage, but the colour comes from `shade` per pixel.
    void fillShadedShape(Box bounds, const InsideFn& inside,
                         const std::function<Rgb(int x, int y)>& shade);

    // Outline of a box, one layout unit wide, clipped to the canvas.
    void strokeRect(Box box, Rgb c);

private:
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    double coverage(int x, int y, const InsideFn& inside) const;
    // A layout box as the pixels it covers: edges rounded (grid boxes), or
    // everything it touches (shape bounds).
    Box pixels(Box box) const;
    Box touched(Box box) const;

    int width_;
    int height_;
    double scale_;
    int layoutWidth_;
    std::vector<Rgba> pixels_;
};

// Inside tests for the shapes the artwork is built from.
InsideFn circle(double cx, double cy, double r);
InsideFn ring(double cx, double cy, double rOuter, double rInner);
InsideFn roundedRect(double x0, double y0, double x1, double y1, double radius);
// A stroke of width 2 * r around the segment (ax, ay)-(bx, by), round ends.
InsideFn capsule(double ax, double ay, double bx, double by, double r);
// Convex or concave polygon, even-odd rule.
InsideFn polygon(std::vector<std::pair<double, double>> points);
InsideFn unite(std::vector<InsideFn> parts);
InsideFn subtract(InsideFn a, InsideFn b);

// A 7-pixel-high bitmap font with the letters the artwork writes.
namespace pixelfont {
constexpr int kHeight = 7;
constexpr int kSpacing = 1;
// Width of `text` in pixels with `extraSpacing` added between letters.
int textWidth(std::string_view text, int extraSpacing = 0);
// Draws `text` with its top-left corner at (x, y); false when a letter has
// no glyph (nothing is drawn then).
bool drawText(Canvas& canvas, int x, int y, std::string_view text, Rgb c, int extraSpacing = 0);
}  // namespace pixelfont

}  // namespace resgen
