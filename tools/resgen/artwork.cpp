#include "artwork.h"

#include <algorithm>
#include <cmath>

namespace resgen {

namespace {

// The product glyph: a telephone handset in the square (x0, y0, size).
// Drawn in the handset's own frame (u along the handle, v toward the side
// the cups face) and turned so that the earpiece sits at the upper left,
// the mouthpiece at the lower right and the cups face the upper right.
InsideFn handset(double x0, double y0, double size)
{
    const double cx = x0 + 0.47 * size;
    const double cy = y0 + 0.53 * size;
    return [=](double x, double y) {
        const double dx = (x - cx) / size;
        const double dy = (y - cy) / size;
        const double u = (dx + dy) * 0.70710678118654752;
        const double v = (dx - dy) * 0.70710678118654752;

        constexpr double kHalfLength = 0.36;
        constexpr double kBow = 0.09;     // the handle bows away from the cups
        constexpr double kHandle = 0.075; // half thickness
        const double au = std::fabs(u);
        if (au <= kHalfLength) {
            const double centre = -kBow * (1.0 - (u / kHalfLength) * (u / kHalfLength));
            if (std::fabs(v - centre) <= kHandle) return true;
        }
        // Cups: rounded blocks at both ends, widening toward their open side.
        constexpr double kCupInner = kHalfLength - 0.13;
        constexpr double kCupOuter = kHalfLength + 0.085;
        constexpr double kCupTop = -0.06;
        constexpr double kCupBottom = 0.20;
        if (v < kCupTop || v > kCupBottom) return false;
        const double flare = 0.05 * (v - kCupTop) / (kCupBottom - kCupTop);
        const double inner = kCupInner - flare;
        if (au < inner || au > kCupOuter) return false;
        constexpr double kRound = 0.055;
        const double cu = std::clamp(au, inner + kRound, kCupOuter - kRound);
        const double cv = std::clamp(v, kCupTop + kRound, kCupBottom - kRound);
        return (au - cu) * (au - cu) + (v - cv) * (v - cv) <= kRound * kRound;
    };
}

Box boxOf(double x0, double y0, double x1, double y1)
{
    return {static_cast<int>(std::floor(x0)), static_cast<int>(std::floor(y0)),
            static_cast<int>(std::ceil(x1)), static_cast<int>(std::ceil(y1))};
}

// Round badge with the handset, used as the logo in every title band.
void drawLogo(Canvas& c, double cx, double cy, double r)
{
    c.fillShape(boxOf(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), circle(cx, cy, r), palette::kBrand);
    const double s = r * 1.45;
    c.fillShape(boxOf(cx - r, cy - r, cx + r, cy + r), handset(cx - s / 2, cy - s / 2, s), {255, 255, 255});
}

void drawWordmark(Canvas& c, int x, int y)
{
    pixelfont::drawText(c, x, y, "FONARIS", {214, 224, 238}, 1);
}

// The dark band with an accent wedge on its right: the wedge's left edge
// leans right going up, from `slantBottom` at the band's last row to
// `slantBottom + slantRise` at row 0.  A faint highlight line follows the
// edge.
void drawBand(Canvas& c, int bottom, Rgb accent, double slantBottom, double slantRise)
{
    const int w = c.layoutWidth();
    c.fillVerticalGradient({0, 0, w, bottom}, palette::kBandTop, palette::kBandBottom);
    // Light top edge gives the band some depth.
    c.fillShape({0, 0, w, 1}, [](double, double) { return true; }, {255, 255, 255}, 0.10);

    const double b = bottom;
    auto edge = [=](double y) { return slantBottom + slantRise * (b - y) / b; };
    c.fillShape({0, 0, w, bottom}, [=](double x, double y) { return x >= edge(y); }, accent);
    c.fillShape({0, 0, w, bottom},
                [=](double x, double y) { return x >= edge(y) - 1.5 && x < edge(y) - 0.5; },
                {255, 255, 255}, 0.35);

    // Separator under the band and a soft shadow on what lies below it.
    c.fillRect({0, bottom, w, bottom + 1}, {16, 24, 38});
}

void dropShadow(Canvas& c, int row, int rows)
{
    for (int i = 0; i < rows; ++i) {
        const double a = 0.10 * (rows - i) / rows;
        c.blendRect({0, row + i, c.layoutWidth(), row + i + 1}, {0, 0, 0}, a);
    }
}

// A recessed, lighter field: where message texts sit.
void drawField(Canvas& c, double x0, double y0, double x1, double y1)
{
    const Box box = boxOf(x0 - 1, y0 - 1, x1 + 1, y1 + 1);
    c.fillShape(box, roundedRect(x0, y0, x1, y1, 4.0), {188, 182, 158});
    c.fillShape(box, roundedRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 3.0), {252, 251, 247});
    // Inner shadow along the top edge.
    c.fillShape(box,
                [=](double x, double y) {
                    return y >= y0 + 1 && y < y0 + 2 && x >= x0 + 3 && x < x1 - 3;
                },
                {0, 0, 0}, 0.08);
}

void drawTitleButton(Canvas& c, double x0, double x1)
{
    const Box box = boxOf(x0 - 1, 0, x1 + 1, popup::kButtonRows);
    c.fillShape(box, roundedRect(x0, 1.0, x1, 13.0, 2.5), {12, 18, 30});
    c.fillShape(box, roundedRect(x0 + 1, 2.0, x1 - 1, 12.0, 1.8), {44, 58, 82});
    c.fillShape(box, [=](double x, double y) { return y < 6.5 && x > x0 + 1 && x < x1 - 1; }, {255, 255, 255},
                0.06);
}

Rgb shade(Rgb c, double f)
{
    return f >= 0 ? mix(c, {255, 255, 255}, f) : mix(c, {0, 0, 0}, -f);
}

Canvas paintBadgeIcon(int size, Rgb base, bool roundedSquare)
{
    Canvas img(size, size);
    const double s = size;
    const double inset = s / 32.0;
    InsideFn outer = roundedSquare ? roundedRect(inset, inset, s - inset, s - inset, s * 0.22)
                                   : circle(s / 2, s / 2, s / 2 - inset);
    InsideFn inner = roundedSquare ? roundedRect(inset * 2.2, inset * 2.2, s - inset * 2.2, s - inset * 2.2, s * 0.19)
                                   : circle(s / 2, s / 2, s / 2 - inset * 2.2);
    const Box all{0, 0, size, size};
    img.fillShape(all, outer, shade(base, -0.35));
    img.fillShadedShape(all, inner, [&](int, int y) { return mix(shade(base, 0.22), shade(base, -0.12), y / s); });
    const double glyph = s * 0.70;
    img.fillShape(all, handset((s - glyph) / 2, (s - glyph) / 2, glyph), {255, 255, 255});
    return img;
}

}  // namespace

Canvas paintPopupSkin(Rgb accent, bool withInfoButton, double scale)
{
    using namespace popup;
    Canvas c(kWidth, kHeight, {palette::kBody.r, palette::kBody.g, palette::kBody.b, 255}, scale);

    drawBand(c, kBandBottom, accent, 138.0, 22.0);
    dropShadow(c, kBandBottom + 1, 3);
    drawLogo(c, 12.5, 10.0, 7.0);
    drawWordmark(c, 25, 7);

    drawTitleButton(c, kCloseLeft + 0.5, kWidth - 1.5);
    c.fillShape({kCloseLeft, 0, kWidth, kButtonRows}, capsule(203.5, 4.5, 208.5, 9.5, 0.85), {255, 255, 255});
    c.fillShape({kCloseLeft, 0, kWidth, kButtonRows}, capsule(208.5, 4.5, 203.5, 9.5, 0.85), {255, 255, 255});
    if (withInfoButton) {
        drawTitleButton(c, kInfoLeft + 0.5, kCloseLeft - 1.5);
        const int textW = pixelfont::textWidth("Info");
        pixelfont::drawText(c, kInfoLeft + (kCloseLeft - 1 - kInfoLeft - textW) / 2, 3, "Info", {255, 255, 255});
    }

    drawField(c, 14.5, 51.5, 198.5, 110.5);
    c.strokeRect({0, 0, kWidth, kHeight}, palette::kFrame);
    return c;
}

Canvas paintSmallDialog(int width, int height, double scale)
{
    Canvas c(width, height, {palette::kBody.r, palette::kBody.g, palette::kBody.b, 255}, scale);
    const int band = 44;
    drawBand(c, band, palette::kBrand, width - 62.0, 20.0);
    dropShadow(c, band + 1, 3);
    drawLogo(c, 12.5, 10.0, 7.0);
    drawWordmark(c, 25, 7);
    return c;
}

Canvas paintHeaderDialog(int width, int height, double scale)
{
    Canvas c(width, height, {palette::kBody.r, palette::kBody.g, palette::kBody.b, 255}, scale);
    const int strip = 18;
    const int header = 64;
    drawBand(c, strip, palette::kBrand, width - 70.0, 8.0);
    c.fillVerticalGradient({0, strip + 1, width, header}, {252, 251, 246}, {243, 241, 231});
    dropShadow(c, strip + 1, 3);
    drawLogo(c, 10.5, 9.0, 6.0);
    drawWordmark(c, 21, 5);
    // Accent rule under the title, fading out to the right.
    c.fillHorizontalGradient({0, header, width, header + 2}, palette::kBrand, mix(palette::kBrand, palette::kBody, 0.9));
    c.fillRect({0, header + 2, width, header + 3}, {214, 209, 186});
    return c;
}

Canvas paintWaitDialog(int width, int height, double scale)
{
    Canvas c(width, height, {palette::kBody.r, palette::kBody.g, palette::kBody.b, 255}, scale);
    const int strip = 18;
    drawBand(c, strip, palette::kBrand, width - 52.0, 8.0);
    dropShadow(c, strip + 1, 3);
    drawLogo(c, 10.5, 9.0, 6.0);
    drawWordmark(c, 21, 5);

    // "Connecting" dots, fading in from left to right.
    const int dots = 5;
    const double gap = 11.0;
    const double first = width / 2.0 - gap * (dots - 1) / 2.0;
    for (int i = 0; i < dots; ++i) {
        const double x = first + gap * i;
        c.fillShape(boxOf(x - 4, 28, x + 4, 38), circle(x, 33.0, 3.0), palette::kBrand, 0.25 + 0.75 * i / (dots - 1));
    }
    drawField(c, 6.5, 47.5, width - 5.5, height - 9.5);
    return c;
}

Canvas paintTrayIcon(TrayState state, int size)
{
    switch (state) {
    case TrayState::Online: return paintBadgeIcon(size, {38, 160, 64}, false);
    case TrayState::Away: return paintBadgeIcon(size, {232, 150, 16}, false);
    case TrayState::Offline: break;
    }
    return paintBadgeIcon(size, {128, 132, 138}, false);
}

Canvas paintAppIcon(int size)
{
    return paintBadgeIcon(size, palette::kBrand, true);
}

}  // namespace resgen
