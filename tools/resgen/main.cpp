// resgen OUTDIR: writes the string table script, the bitmaps, the icons and
// the script naming them into OUTDIR.  The output depends on nothing but
// this program, so every run writes the same bytes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "assets.h"

namespace {

bool writeFile(const std::filesystem::path& path, const resgen::Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "resgen: cannot create %s: %s\n", dir.string().c_str(), ec.message().c_str());
        return 1;
    }
    for (const resgen::Asset& asset : resgen::allAssets()) {
        if (!writeFile(dir / asset.fileName, asset.bytes)) {
            std::fprintf(stderr, "resgen: cannot write %s\n", (dir / asset.fileName).string().c_str());
            return 1;
        }
    }
    return 0;
}
