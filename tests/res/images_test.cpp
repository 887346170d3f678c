// The generated bitmaps and icons, read back from their file bytes with a
// reader of their own: file format, sizes, and the layout rules the popup
// and the dialogs rely on (body colour, dark title band under the white
// title, button columns, variant colours, light text areas).
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "assets.h"
#include "res/display_scales.h"
#include "res/resource.h"

namespace {

using resgen::Asset;
using resgen::AssetKind;
using resgen::Bytes;

struct Colour {
    int r = 0, g = 0, b = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

std::ostream& operator<<(std::ostream& os, const Colour& c)
{
    return os << "RGB(" << c.r << ", " << c.g << ", " << c.b << ")";
}

double luminance(Colour c)
{
    return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b;
}

unsigned le16(const Bytes& b, std::size_t at)
{
    return static_cast<unsigned>(b.at(at) | (b.at(at + 1) << 8));
}

std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return le16(b, at) | (le16(b, at + 2) << 16);
}

std::int32_t sle32(const Bytes& b, std::size_t at)
{
    return static_cast<std::int32_t>(le32(b, at));
}

// A 24-bit BMP, checked while reading.
struct Bmp {
    int width = 0, height = 0;
    Bytes bytes;
    std::size_t stride = 0, offset = 0;

    Colour at(int x, int y) const
    {
        const std::size_t p = offset + static_cast<std::size_t>(height - 1 - y) * stride + static_cast<std::size_t>(x) * 3;
        return {bytes.at(p + 2), bytes.at(p + 1), bytes.at(p)};
    }
};

std::optional<Bmp> readBmp(const Bytes& b)
{
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    Bmp bmp;
    bmp.bytes = b;
    bmp.offset = le32(b, 10);
    EXPECT_EQ(le32(b, 2), b.size()) << "file size field";
    EXPECT_EQ(le32(b, 14), 40u) << "BITMAPINFOHEADER";
    bmp.width = sle32(b, 18);
    bmp.height = sle32(b, 22);
    EXPECT_GT(bmp.height, 0) << "rows must be bottom-up";
    EXPECT_EQ(le16(b, 26), 1u) << "planes";
    EXPECT_EQ(le16(b, 28), 24u) << "bits per pixel";
    EXPECT_EQ(le32(b, 30), 0u) << "BI_RGB";
    bmp.stride = (static_cast<std::size_t>(bmp.width) * 3 + 3) / 4 * 4;
    EXPECT_EQ(bmp.stride % 4, 0u);
    EXPECT_EQ(bmp.offset, 54u);
    EXPECT_EQ(b.size(), bmp.offset + bmp.stride * static_cast<std::size_t>(bmp.height));
    if (b.size() != bmp.offset + bmp.stride * static_cast<std::size_t>(bmp.height)) return std::nullopt;
    for (int y = 0; y < bmp.height; ++y) {
        for (std::size_t p = static_cast<std::size_t>(bmp.width) * 3; p < bmp.stride; ++p) {
            EXPECT_EQ(b[bmp.offset + static_cast<std::size_t>(y) * bmp.stride + p], 0) << "row padding";
        }
    }
    return bmp;
}

const std::vector<Asset>& images()
{
    static const std::vector<Asset> all = resgen::imageAssets();
    return all;
}

const Asset& image(AssetKind kind, int id)
{
    for (const Asset& a : images()) {
        if (a.kind == kind && a.resourceId == id) return a;
    }
    ADD_FAILURE() << "no image " << id;
    static const Asset none{kind, 0, "", {}};
    return none;
}

Bmp bitmap(int id)
{
    auto bmp = readBmp(image(AssetKind::Bitmap, id).bytes);
    if (!bmp) {
        ADD_FAILURE() << "bitmap " << id << " unreadable";
        return {};
    }
    return *bmp;
}

// Every pixel of [x0, x1) x [y0, y1) passes `ok`.
template <typename Pred>
::testing::AssertionResult allPixels(const Bmp& bmp, int x0, int y0, int x1, int y1, Pred ok)
{
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!ok(bmp.at(x, y))) return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << bmp.at(x, y);
        }
    }
    return ::testing::AssertionSuccess();
}

bool sameBlock(const Bmp& a, const Bmp& b, int x0, int y0, int x1, int y1)
{
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!(a.at(x, y) == b.at(x, y))) return false;
        }
    }
    return true;
}

const Colour kBody{236, 233, 216};

struct Variant {
    int id, infoId;
    Colour band;
};

// Skin ids and band colours of the colour rules.
const std::map<std::string, Variant> kVariants = {
    {"default", {143, 203, {255, 255, 255}}}, {"red", {193, 209, {255, 0, 0}}},
    {"green", {191, 206, {0, 128, 0}}},       {"blue", {186, 204, {0, 0, 255}}},
    {"yellow", {195, 212, {255, 255, 0}}},    {"teal", {196, 210, {0, 128, 128}}},
    {"orange", {201, 208, {255, 128, 64}}},   {"brown", {199, 205, {130, 64, 0}}},
    {"grey", {200, 207, {128, 128, 128}}},    {"violet", {194, 211, {255, 0, 255}}},
};

TEST(PopupSkins, VariantTableMatchesTheColourRules)
{
    ASSERT_EQ(resgen::skinVariants().size(), kVariants.size());
    for (const auto& v : resgen::skinVariants()) {
        const auto it = kVariants.find(std::string(v.name));
        ASSERT_NE(it, kVariants.end()) << v.name;
        EXPECT_EQ(v.skinId, it->second.id) << v.name;
        EXPECT_EQ(v.skinInfoId, it->second.infoId) << v.name;
        EXPECT_EQ((Colour{v.band.r, v.band.g, v.band.b}), it->second.band) << v.name;
    }
}

TEST(PopupSkins, AreTwentyFourBitBitmapsOfThePopupSize)
{
    for (const auto& [name, v] : kVariants) {
        for (int id : {v.id, v.infoId}) {
            const Bmp bmp = bitmap(id);
            EXPECT_EQ(bmp.width, 213) << id;
            EXPECT_EQ(bmp.height, 120) << id;
        }
    }
}

TEST(PopupSkins, LayoutHoldsForEveryVariant)
{
    for (const auto& [name, v] : kVariants) {
        for (int id : {v.id, v.infoId}) {
            SCOPED_TRACE(name + " " + std::to_string(id));
            const Bmp bmp = bitmap(id);
            if (bmp.width != 213 || bmp.height != 120) continue;
            // Light body below the band, beside and under the text field.
            EXPECT_EQ(bmp.at(6, 80), kBody);
            EXPECT_EQ(bmp.at(205, 80), kBody);
            EXPECT_EQ(bmp.at(106, 115), kBody);
            // The variant colour on the right part of the band, below the buttons.
            EXPECT_EQ(bmp.at(190, 30), v.band);
            EXPECT_EQ(bmp.at(170, 20), v.band);
            // The white title is written at (8, 20, 203, 40): dark behind its left part.
            EXPECT_TRUE(allPixels(bmp, 8, 20, 110, 41, [](Colour c) { return luminance(c) < 80; }));
            // The message text sits on an even, light field.
            const Colour field = bmp.at(20, 55);
            EXPECT_GT(luminance(field), 240);
            EXPECT_TRUE(allPixels(bmp, 20, 55, 193, 105, [&](Colour c) { return c == field; }));
            // The close button stands out from the band and carries a light glyph.
            bool glyph = false;
            for (int y = 0; y < 14; ++y) {
                for (int x = 200; x <= 212; ++x) glyph = glyph || luminance(bmp.at(x, y)) > 200;
            }
            EXPECT_TRUE(glyph);
            EXPECT_FALSE(allPixels(bmp, 201, 2, 211, 12, [&](Colour c) { return c == v.band; }));
        }
    }
}

TEST(PopupSkins, InfoButtonOnlyOnCrmVariants)
{
    for (const auto& [name, v] : kVariants) {
        SCOPED_TRACE(name);
        const Bmp plain = bitmap(v.id);
        const Bmp info = bitmap(v.infoId);
        // Without the button the columns 176..199 are plain band.
        EXPECT_TRUE(allPixels(plain, 176, 2, 200, 13, [&](Colour c) { return c == v.band; }));
        // With it they hold a dark button with light lettering.
        int dark = 0, light = 0;
        for (int y = 1; y < 13; ++y) {
            for (int x = 177; x < 199; ++x) {
                const double l = luminance(info.at(x, y));
                dark += l < 80;
                light += l > 200;
            }
        }
        EXPECT_GT(dark, 100);
        EXPECT_GT(light, 10);
        // Everything else is the same picture.
        EXPECT_TRUE(sameBlock(plain, info, 0, 14, 213, 120));
        EXPECT_TRUE(sameBlock(plain, info, 0, 0, 176, 14));
        EXPECT_TRUE(sameBlock(plain, info, 200, 0, 213, 14));
    }
}

TEST(PopupSkins, VariantsDifferOnlyInTheRightPartOfTheBand)
{
    const Bmp base = bitmap(143);
    const Bmp baseInfo = bitmap(203);
    for (const auto& [name, v] : kVariants) {
        SCOPED_TRACE(name);
        const Bmp plain = bitmap(v.id);
        const Bmp info = bitmap(v.infoId);
        EXPECT_TRUE(sameBlock(base, plain, 0, 46, 213, 120));  // body
        EXPECT_TRUE(sameBlock(base, plain, 0, 0, 110, 46));    // left of the band
        EXPECT_TRUE(sameBlock(baseInfo, info, 0, 46, 213, 120));
        EXPECT_TRUE(sameBlock(baseInfo, info, 0, 0, 110, 46));
    }
}

TEST(DialogBitmaps, HaveTheirSizesAndLightOrDarkTitleAreas)
{
    const Bmp tall = bitmap(IDB_DLG_TALL);
    const Bmp config = bitmap(IDB_DLG_CONFIG);
    const Bmp small = bitmap(IDB_DLG_SMALL);
    const Bmp wait = bitmap(IDB_DLG_WAIT);
    EXPECT_EQ(std::pair(tall.width, tall.height), std::pair(280, 392));
    EXPECT_EQ(std::pair(config.width, config.height), std::pair(578, 434));
    EXPECT_EQ(std::pair(small.width, small.height), std::pair(267, 165));
    EXPECT_EQ(std::pair(wait.width, wait.height), std::pair(213, 120));

    auto light = [](Colour c) { return luminance(c) > 200; };
    auto dark = [](Colour c) { return luminance(c) < 80; };
    // Black titles at about (18, 39) px; white title of the small dialogs at (6..10, 19..35).
    EXPECT_TRUE(allPixels(tall, 12, 36, 200, 58, light));
    EXPECT_TRUE(allPixels(config, 12, 36, 400, 58, light));
    EXPECT_TRUE(allPixels(small, 4, 18, 150, 38, dark));
    // The wait notice's label: (9, 34) 128 x 33 dialog units.
    EXPECT_TRUE(allPixels(wait, 13, 55, 205, 109, light));
    // Bodies.
    EXPECT_EQ(tall.at(140, 300), kBody);
    EXPECT_EQ(config.at(300, 300), kBody);
    EXPECT_EQ(small.at(130, 90), kBody);
}

// Every skin and background is drawn again for each display scale: the
// size follows the scale, and the picture is the same layout, so a point of
// the 100 % image that lies inside a flat area (body, band colour, text
// field, dark title band) has the same colour at the scaled point.
TEST(ScaledBitmaps, FollowTheScaleWithTheSameLayout)
{
    struct Probe {
        int id;
        std::vector<std::pair<int, int>> points;
    };
    const std::vector<Probe> probes = {
        {IDB_SKIN_RED, {{6, 80}, {205, 80}, {190, 30}, {100, 80}, {40, 30}}},
        {IDB_SKIN_DEFAULT_INFO, {{6, 80}, {190, 30}, {100, 80}, {40, 30}}},
        {IDB_DLG_SMALL, {{130, 90}, {40, 30}}},
        {IDB_DLG_TALL, {{140, 300}, {100, 45}}},
        {IDB_DLG_CONFIG, {{300, 300}, {200, 45}}},
        {IDB_DLG_WAIT, {{100, 80}}},
    };
    for (const fonaris::res::DisplayScale& scale : fonaris::res::kDisplayScales) {
        for (const Probe& probe : probes) {
            SCOPED_TRACE(std::to_string(probe.id) + " at " + std::to_string(scale.percent) + " %");
            const Bmp base = bitmap(probe.id);
            const Bmp scaled = bitmap(probe.id + scale.idOffset);
            EXPECT_EQ(scaled.width, (base.width * scale.percent + 50) / 100);
            EXPECT_EQ(scaled.height, (base.height * scale.percent + 50) / 100);
            if (scaled.width == 0 || base.width == 0) continue;
            for (auto [x, y] : probe.points) {
                // Graded areas may differ by a rounding step.
                const Colour a = scaled.at(x * scale.percent / 100, y * scale.percent / 100);
                const Colour b = base.at(x, y);
                EXPECT_LE(std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b), 3) << x << "," << y << " " << a;
            }
        }
    }
    // The close button's glyph is drawn for the scale, not blown up: at
    // 200 % it has at least the four times as many fully light pixels that
    // an enlarged copy of the 100 % glyph would have (anti-aliased edges
    // are thinner at the larger scale).
    auto lightPixels = [](const Bmp& bmp, int percent) {
        int n = 0;
        for (int y = 0; y < 14 * percent / 100; ++y) {
            for (int x = 200 * percent / 100; x < bmp.width; ++x) n += luminance(bmp.at(x, y)) > 200;
        }
        return n;
    };
    const int at100 = lightPixels(bitmap(IDB_SKIN_DEFAULT), 100);
    EXPECT_GT(at100, 5);
    EXPECT_GE(lightPixels(bitmap(IDB_SKIN_DEFAULT + 3000), 200), 4 * at100);
}

// One image of an .ico file.
struct IconImage {
    int size = 0;
    std::vector<std::uint8_t> bgra;  // top-down
    std::vector<bool> masked;        // AND bit set, top-down
};

std::vector<IconImage> readIco(const Bytes& b)
{
    std::vector<IconImage> out;
    if (b.size() < 6) {
        ADD_FAILURE() << "too short";
        return out;
    }
    EXPECT_EQ(le16(b, 0), 0u);
    EXPECT_EQ(le16(b, 2), 1u) << "type icon";
    const unsigned count = le16(b, 4);
    std::set<std::uint32_t> offsets;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t e = 6 + 16 * i;
        const int size = b.at(e) == 0 ? 256 : b.at(e);
        EXPECT_EQ(b.at(e + 1), b.at(e)) << "square";
        EXPECT_EQ(le16(b, e + 6), 32u) << "bit count";
        const std::uint32_t bytes = le32(b, e + 8);
        const std::uint32_t offset = le32(b, e + 12);
        EXPECT_TRUE(offsets.insert(offset).second);
        const std::size_t maskStride = (static_cast<std::size_t>(size) + 31) / 32 * 4;
        const std::size_t expected = 40 + static_cast<std::size_t>(size * size * 4) + maskStride * size;
        EXPECT_EQ(bytes, expected);
        if (offset + expected > b.size()) {
            ADD_FAILURE() << "image " << i << " beyond the end";
            continue;
        }
        EXPECT_EQ(le32(b, offset), 40u);
        EXPECT_EQ(sle32(b, offset + 4), size);
        EXPECT_EQ(sle32(b, offset + 8), 2 * size) << "XOR and AND bitmap";
        EXPECT_EQ(le16(b, offset + 14), 32u);
        IconImage img;
        img.size = size;
        const std::size_t pixels = offset + 40;
        const std::size_t mask = pixels + static_cast<std::size_t>(size * size * 4);
        for (int y = 0; y < size; ++y) {
            const int row = size - 1 - y;
            for (int x = 0; x < size; ++x) {
                const std::size_t p = pixels + static_cast<std::size_t>((row * size + x) * 4);
                img.bgra.insert(img.bgra.end(), b.begin() + static_cast<long>(p), b.begin() + static_cast<long>(p + 4));
                const std::uint8_t bits = b.at(mask + static_cast<std::size_t>(row) * maskStride + static_cast<std::size_t>(x / 8));
                img.masked.push_back((bits & (0x80 >> (x % 8))) != 0);
            }
        }
        out.push_back(std::move(img));
    }
    return out;
}

// Mean colour of the opaque pixels.
Colour meanOpaque(const IconImage& img)
{
    long r = 0, g = 0, b = 0, n = 0;
    for (std::size_t i = 0; i < img.masked.size(); ++i) {
        if (img.bgra[i * 4 + 3] != 255) continue;
        b += img.bgra[i * 4];
        g += img.bgra[i * 4 + 1];
        r += img.bgra[i * 4 + 2];
        ++n;
    }
    if (n == 0) return {};
    return {static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

TEST(TrayIcons, AreIcoFilesWithSixteenAndThirtyTwoPixelImages)
{
    for (int id : {IDI_TRAY_OFFLINE, IDI_TRAY_AWAY, IDI_TRAY_ONLINE}) {
        SCOPED_TRACE(id);
        const auto imgs = readIco(image(AssetKind::Icon, id).bytes);
        ASSERT_EQ(imgs.size(), 2u);
        EXPECT_EQ(imgs[0].size, 16);
        EXPECT_EQ(imgs[1].size, 32);
        for (const IconImage& img : imgs) {
            const int s = img.size;
            // Corners transparent in the alpha channel and the mask; the centre opaque.
            for (int corner : {0, s - 1, s * (s - 1), s * s - 1}) {
                EXPECT_EQ(img.bgra[static_cast<std::size_t>(corner) * 4 + 3], 0);
                EXPECT_TRUE(img.masked[static_cast<std::size_t>(corner)]);
            }
            const std::size_t centre = static_cast<std::size_t>(s / 2 * s + s / 2);
            EXPECT_EQ(img.bgra[centre * 4 + 3], 255);
            EXPECT_FALSE(img.masked[centre]);
            // Mask and alpha agree everywhere.
            for (std::size_t i = 0; i < img.masked.size(); ++i) {
                EXPECT_EQ(img.masked[i], img.bgra[i * 4 + 3] < 128) << i;
            }
        }
    }
}

TEST(TrayIcons, StatesAreGreyGreenAndAmber)
{
    for (std::size_t size : {0u, 1u}) {
        const Colour offline = meanOpaque(readIco(image(AssetKind::Icon, IDI_TRAY_OFFLINE).bytes).at(size));
        const Colour online = meanOpaque(readIco(image(AssetKind::Icon, IDI_TRAY_ONLINE).bytes).at(size));
        const Colour away = meanOpaque(readIco(image(AssetKind::Icon, IDI_TRAY_AWAY).bytes).at(size));
        EXPECT_LT(std::abs(offline.r - offline.g) + std::abs(offline.g - offline.b), 30) << offline;
        EXPECT_GT(online.g, online.r + 40) << online;
        EXPECT_GT(online.g, online.b + 40) << online;
        EXPECT_GT(away.r, away.g + 20) << away;
        EXPECT_GT(away.g, away.b + 40) << away;
    }
}

TEST(Assets, IdsAndFilesAreUniqueAndNamedByTheScript)
{
    std::set<std::pair<int, int>> ids;
    std::set<std::string> files;
    for (const Asset& a : images()) {
        EXPECT_TRUE(ids.insert({static_cast<int>(a.kind), a.resourceId}).second) << a.resourceId;
        EXPECT_TRUE(files.insert(a.fileName).second) << a.fileName;
    }
    // 20 skins and 4 dialog backgrounds at each of the 4 display scales; 3
    // tray icons, the application icon.
    EXPECT_EQ(ids.size(), 24u * 4u + 4u);

    const std::string script = resgen::imagesScript(images());
    for (const Asset& a : images()) {
        const std::string line = std::to_string(a.resourceId) + (a.kind == AssetKind::Icon ? " ICON \"" : " BITMAP \"") +
                                 a.fileName + "\"\n";
        EXPECT_NE(script.find(line), std::string::npos) << line;
    }
}

TEST(Assets, SameBytesOnEveryRun)
{
    // Against the images the other tests read: drawing them is not cheap.
    const auto again = resgen::imageAssets();
    const auto& first = images();
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].fileName, again[i].fileName);
        EXPECT_TRUE(first[i].bytes == again[i].bytes) << first[i].fileName;
    }
}

}  // namespace
