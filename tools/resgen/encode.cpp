#include "encode.h"

#include <cstddef>

namespace resgen {

namespace {

void put16(Bytes& out, unsigned v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(Bytes& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}

constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dpi

void putInfoHeader(Bytes& out, int width, int height, unsigned bitCount, std::uint32_t imageSize,
                   std::uint32_t ppm)
{
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);  // planes
    put16(out, bitCount);
    put32(out, 0);  // BI_RGB
    put32(out, imageSize);
    put32(out, ppm);
    put32(out, ppm);
    put32(out, 0);  // colours used
    put32(out, 0);  // colours important
}

std::uint32_t stride(int width, int bitsPerPixel)
{
    return static_cast<std::uint32_t>(((width * bitsPerPixel + 31) / 32) * 4);
}

}  // namespace

Bytes encodeBmp24(const Canvas& canvas)
{
    const int w = canvas.width();
    const int h = canvas.height();
    const std::uint32_t rowBytes = stride(w, 24);
    const std::uint32_t imageSize = rowBytes * static_cast<std::uint32_t>(h);
    const std::uint32_t dataOffset = 14 + kInfoHeaderSize;

    Bytes out;
    out.reserve(dataOffset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, dataOffset + imageSize);
    put32(out, 0);  // reserved
    put32(out, dataOffset);
    putInfoHeader(out, w, h, 24, imageSize, kPixelsPerMetre);

    for (int y = h - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < w; ++x) {
            const Rgba c = canvas.at(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        while (out.size() - rowStart < rowBytes) out.push_back(0);
    }
    return out;
}

Bytes encodeIco(const std::vector<Canvas>& images)
{
    const std::uint32_t dirSize = 6 + 16 * static_cast<std::uint32_t>(images.size());

    std::vector<Bytes> blobs;
    for (const Canvas& img : images) {
        const int w = img.width();
        const int h = img.height();
        const std::uint32_t maskRow = stride(w, 1);
        const std::uint32_t xorSize = static_cast<std::uint32_t>(w * h * 4);
        const std::uint32_t andSize = maskRow * static_cast<std::uint32_t>(h);

        Bytes blob;
        // An icon image's header counts the XOR and the AND bitmap: twice the height.
        putInfoHeader(blob, w, 2 * h, 32, xorSize + andSize, 0);
        for (int y = h - 1; y >= 0; --y) {
            for (int x = 0; x < w; ++x) {
                const Rgba c = img.at(x, y);
                if (c.a == 0) {
                    put32(blob, 0);
                } else {
                    blob.push_back(c.b);
                    blob.push_back(c.g);
                    blob.push_back(c.r);
                    blob.push_back(c.a);
                }
            }
        }
        for (int y = h - 1; y >= 0; --y) {
            Bytes row(maskRow, 0);
            for (int x = 0; x < w; ++x) {
                if (img.at(x, y).a < 128) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
            blob.insert(blob.end(), row.begin(), row.end());
        }
        blobs.push_back(std::move(blob));
    }

    Bytes out;
    put16(out, 0);  // reserved
    put16(out, 1);  // type: icon
    put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = dirSize;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].width();
        const int h = images[i].height();
        out.push_back(static_cast<std::uint8_t>(w >= 256 ? 0 : w));
        out.push_back(static_cast<std::uint8_t>(h >= 256 ? 0 : h));
        out.push_back(0);  // palette size
        out.push_back(0);  // reserved
        put16(out, 1);     // planes
        put16(out, 32);    // bits per pixel
        put32(out, static_cast<std::uint32_t>(blobs[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(blobs[i].size());
    }
    for (const Bytes& b : blobs) out.insert(out.end(), b.begin(), b.end());
    return out;
}

}  // namespace resgen
