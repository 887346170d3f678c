#include "canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace resgen {

namespace {

std::uint8_t toByte(double v)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

Box clip(Box box, int width, int height)
{
    return {std::max(box.x0, 0), std::max(box.y0, 0), std::min(box.x1, width), std::min(box.y1, height)};
}

constexpr int kSubSamples = 4;

}  // namespace

Rgb mix(Rgb a, Rgb b, double t)
{
    return {toByte(a.r + (b.r - a.r) * t), toByte(a.g + (b.g - a.g) * t), toByte(a.b + (b.b - a.b) * t)};
}

Canvas::Canvas(int width, int height, Rgba fill, double scale)
    : width_(static_cast<int>(std::lround(std::max(width, 0) * scale))),
      height_(static_cast<int>(std::lround(std::max(height, 0) * scale))), scale_(scale),
      layoutWidth_(std::max(width, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill)
{
}

Rgba Canvas::at(int x, int y) const
{
    if (!contains(x, y)) return {};
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

void Canvas::set(int x, int y, Rgba c)
{
    if (!contains(x, y)) return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = c;
}

void Canvas::blend(int x, int y, Rgb c, double alpha)
{
    if (!contains(x, y) || alpha <= 0.0) return;
    alpha = std::min(alpha, 1.0);
    const Rgba dst = at(x, y);
    const double dstA = dst.a / 255.0;
    const double outA = alpha + dstA * (1.0 - alpha);
    auto channel = [&](std::uint8_t s, std::uint8_t d) {
        return toByte((s * alpha + d * dstA * (1.0 - alpha)) / outA);
    };
    set(x, y, {channel(c.r, dst.r), channel(c.g, dst.g), channel(c.b, dst.b), toByte(outA * 255.0)});
}

Box Canvas::pixels(Box box) const
{
    auto at = [this](int v) { return static_cast<int>(std::lround(v * scale_)); };
    return {at(box.x0), at(box.y0), at(box.x1), at(box.y1)};
}

Box Canvas::touched(Box box) const
{
    return {static_cast<int>(std::floor(box.x0 * scale_)), static_cast<int>(std::floor(box.y0 * scale_)),
            static_cast<int>(std::ceil(box.x1 * scale_)), static_cast<int>(std::ceil(box.y1 * scale_))};
}

void Canvas::fillRect(Box box, Rgb c)
{
    const Box b = clip(pixels(box), width_, height_);
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) set(x, y, {c.r, c.g, c.b, 255});
    }
}

void Canvas::blendRect(Box box, Rgb c, double alpha)
{
    const Box b = clip(pixels(box), width_, height_);
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) blend(x, y, c, alpha);
    }
}

void Canvas::fillVerticalGradient(Box layout, Rgb top, Rgb bottom)
{
    const Box box = pixels(layout);
    const int span = std::max(box.y1 - box.y0 - 1, 1);
    const Box b = clip(box, width_, height_);
    for (int y = b.y0; y < b.y1; ++y) {
        const Rgb c = mix(top, bottom, static_cast<double>(y - box.y0) / span);
        for (int x = b.x0; x < b.x1; ++x) set(x, y, {c.r, c.g, c.b, 255});
    }
}

void Canvas::fillHorizontalGradient(Box layout, Rgb left, Rgb right)
{
    const Box box = pixels(layout);
    const int span = std::max(box.x1 - box.x0 - 1, 1);
    const Box b = clip(box, width_, height_);
    for (int x = b.x0; x < b.x1; ++x) {
        const Rgb c = mix(left, right, static_cast<double>(x - box.x0) / span);
        for (int y = b.y0; y < b.y1; ++y) set(x, y, {c.r, c.g, c.b, 255});
    }
}

double Canvas::coverage(int x, int y, const InsideFn& inside) const
{
    // Corners and centre agreeing means the pixel lies wholly on one side
    // (the artwork has no features thinner than half a pixel).
    // The shape is in layout units: a pixel's points are divided by the scale.
    const double u = 1.0 / scale_;
    const bool centre = inside((x + 0.5) * u, (y + 0.5) * u);
    if (inside(x * u, y * u) == centre && inside((x + 1.0) * u, y * u) == centre &&
        inside(x * u, (y + 1.0) * u) == centre && inside((x + 1.0) * u, (y + 1.0) * u) == centre) {
        return centre ? 1.0 : 0.0;
    }
    int hits = 0;
    for (int sy = 0; sy < kSubSamples; ++sy) {
        for (int sx = 0; sx < kSubSamples; ++sx) {
            const double px = x + (sx + 0.5) / kSubSamples;
            const double py = y + (sy + 0.5) / kSubSamples;
            if (inside(px * u, py * u)) ++hits;
        }
    }
    return static_cast<double>(hits) / (kSubSamples * kSubSamples);
}

void Canvas::fillShape(Box bounds, const InsideFn& inside, Rgb c, double opacity)
{
    const Box b = clip(touched(bounds), width_, height_);
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) blend(x, y, c, coverage(x, y, inside) * opacity);
    }
}

void Canvas::fillShadedShape(Box bounds, const InsideFn& inside, const std::function<Rgb(int, int)>& shade)
{
    const Box b = clip(touched(bounds), width_, height_);
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) {
            const double cov = coverage(x, y, inside);
            if (cov > 0.0) {
                blend(x, y, shade(static_cast<int>(x / scale_), static_cast<int>(y / scale_)), cov);
            }
        }
    }
}

void Canvas::strokeRect(Box box, Rgb c)
{
    fillRect({box.x0, box.y0, box.x1, box.y0 + 1}, c);
    fillRect({box.x0, box.y1 - 1, box.x1, box.y1}, c);
    fillRect({box.x0, box.y0, box.x0 + 1, box.y1}, c);
    fillRect({box.x1 - 1, box.y0, box.x1, box.y1}, c);
}

InsideFn circle(double cx, double cy, double r)
{
    return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

InsideFn ring(double cx, double cy, double rOuter, double rInner)
{
    return [=](double x, double y) {
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d2 <= rOuter * rOuter && d2 >= rInner * rInner;
    };
}

InsideFn roundedRect(double x0, double y0, double x1, double y1, double radius)
{
    return [=](double x, double y) {
        if (x < x0 || x > x1 || y < y0 || y > y1) return false;
        const double cx = std::clamp(x, x0 + radius, x1 - radius);
        const double cy = std::clamp(y, y0 + radius, y1 - radius);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
    };
}

InsideFn capsule(double ax, double ay, double bx, double by, double r)
{
    return [=](double x, double y) {
        const double dx = bx - ax, dy = by - ay;
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0.0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double qx = ax + t * dx - x, qy = ay + t * dy - y;
        return qx * qx + qy * qy <= r * r;
    };
}

InsideFn polygon(std::vector<std::pair<double, double>> points)
{
    return [pts = std::move(points)](double x, double y) {
        bool in = false;
        for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const auto [xi, yi] = pts[i];
            const auto [xj, yj] = pts[j];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) in = !in;
        }
        return in;
    };
}

InsideFn unite(std::vector<InsideFn> parts)
{
    return [ps = std::move(parts)](double x, double y) {
        return std::any_of(ps.begin(), ps.end(), [&](const InsideFn& p) { return p(x, y); });
    };
}

InsideFn subtract(InsideFn a, InsideFn b)
{
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

namespace pixelfont {

namespace {

struct Glyph {
    char ch;
    std::array<std::string_view, kHeight> rows;  // '#' = ink, all rows of one width
};

// Capitals for the product name, and the letters of "Info".
constexpr Glyph kGlyphs[] = {
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'F', {"####", "#...", "#...", "###.", "#...", "#...", "#..."}},
    {'I', {"###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {'N', {"#...#", "##..#", "##..#", "#.#.#", "#..##", "#..##", "#...#"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
    {'f', {".##", "#..", "###", "#..", "#..", "#..", "#.."}},
    {'n', {"....", "....", "###.", "#..#", "#..#", "#..#", "#..#"}},
    {'o', {"....", "....", ".##.", "#..#", "#..#", "#..#", ".##."}},
    {' ', {"..", "..", "..", "..", "..", "..", ".."}},
};

const Glyph* find(char c)
{
    for (const Glyph& g : kGlyphs) {
        if (g.ch == c) return &g;
    }
    return nullptr;
}

}  // namespace

int textWidth(std::string_view text, int extraSpacing)
{
    int w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = find(text[i]);
        if (g == nullptr) return -1;
        w += static_cast<int>(g->rows[0].size());
        if (i + 1 < text.size()) w += kSpacing + extraSpacing;
    }
    return w;
}

bool drawText(Canvas& canvas, int x, int y, std::string_view text, Rgb c, int extraSpacing)
{
    if (textWidth(text, extraSpacing) < 0) return false;
    for (char ch : text) {
        const Glyph* g = find(ch);
        for (int row = 0; row < kHeight; ++row) {
            const std::string_view bits = g->rows[static_cast<std::size_t>(row)];
            for (std::size_t col = 0; col < bits.size(); ++col) {
                const int left = x + static_cast<int>(col);
                if (bits[col] == '#') canvas.fillRect({left, y + row, left + 1, y + row + 1}, c);
            }
        }
        x += static_cast<int>(g->rows[0].size()) + kSpacing + extraSpacing;
    }
    return true;
}

}  // namespace pixelfont

}  // namespace resgen
