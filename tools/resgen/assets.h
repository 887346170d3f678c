// Everything the resource generator writes: the images with their resource
// ids and file names, and the two resource scripts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "canvas.h"
#include "encode.h"

namespace resgen {

enum class AssetKind { Bitmap, Icon, Script };

struct Asset {
    AssetKind kind;
    int resourceId;  // 0 for scripts
    std::string fileName;
    Bytes bytes;
};

struct SkinVariant {
    std::string_view name;  // colour name as administrators write it
    int skinId;             // without "Info" button
    int skinInfoId;         // with "Info" button
    Rgb band;
};

// The ten popup skin variants, default first.
const std::vector<SkinVariant>& skinVariants();

// Bitmaps and icons, in a fixed order.
std::vector<Asset> imageAssets();

// The BITMAP and ICON statements that name the image files.
std::string imagesScript(const std::vector<Asset>& images);

// All files: images, "images.rc" and "strings.rc".
std::vector<Asset> allAssets();

}  // namespace resgen
