#include "assets.h"

#include "../../res/display_scales.h"
#include "../../res/resource.h"
#include "../../res/string_table.h"
#include "artwork.h"
#include "rcwriter.h"

namespace resgen {

const std::vector<SkinVariant>& skinVariants()
{
    static const std::vector<SkinVariant> variants = {
        {"default", IDB_SKIN_DEFAULT, IDB_SKIN_DEFAULT_INFO, {255, 255, 255}},
        {"red", IDB_SKIN_RED, IDB_SKIN_RED_INFO, {255, 0, 0}},
        {"green", IDB_SKIN_GREEN, IDB_SKIN_GREEN_INFO, {0, 128, 0}},
        {"blue", IDB_SKIN_BLUE, IDB_SKIN_BLUE_INFO, {0, 0, 255}},
        {"yellow", IDB_SKIN_YELLOW, IDB_SKIN_YELLOW_INFO, {255, 255, 0}},
        {"teal", IDB_SKIN_TEAL, IDB_SKIN_TEAL_INFO, {0, 128, 128}},
        {"orange", IDB_SKIN_ORANGE, IDB_SKIN_ORANGE_INFO, {255, 128, 64}},
        {"brown", IDB_SKIN_BROWN, IDB_SKIN_BROWN_INFO, {130, 64, 0}},
        {"grey", IDB_SKIN_GREY, IDB_SKIN_GREY_INFO, {128, 128, 128}},
        {"violet", IDB_SKIN_VIOLET, IDB_SKIN_VIOLET_INFO, {255, 0, 255}},
    };
    return variants;
}

std::vector<Asset> imageAssets()
{
    std::vector<Asset> out;
    auto bitmap = [&](int id, std::string file, const Canvas& c) {
        out.push_back({AssetKind::Bitmap, id, std::move(file), encodeBmp24(c)});
    };
    auto icon = [&](int id, std::string file, const std::vector<Canvas>& images) {
        out.push_back({AssetKind::Icon, id, std::move(file), encodeIco(images)});
    };

    // Each skin and background once per display scale: "name.bmp" at
    // 100 %, "name@150.bmp" at 150 %, and so on.
    for (const fonaris::res::DisplayScale& scale : fonaris::res::kDisplayScales) {
        const double s = scale.percent / 100.0;
        const std::string suffix = scale.percent == 100 ? ".bmp" : "@" + std::to_string(scale.percent) + ".bmp";
        auto scaled = [&](int id, const std::string& name, const Canvas& c) {
            bitmap(id + scale.idOffset, name + suffix, c);
        };
        for (const SkinVariant& v : skinVariants()) {
            const std::string base = "popup_" + std::string(v.name);
            scaled(v.skinId, base, paintPopupSkin(v.band, false, s));
            scaled(v.skinInfoId, base + "_info", paintPopupSkin(v.band, true, s));
        }
        scaled(IDB_DLG_TALL, "dialog_tall", paintHeaderDialog(280, 392, s));
        scaled(IDB_DLG_CONFIG, "dialog_config", paintHeaderDialog(578, 434, s));
        scaled(IDB_DLG_SMALL, "dialog_small", paintSmallDialog(267, 165, s));
        scaled(IDB_DLG_WAIT, "dialog_wait", paintWaitDialog(213, 120, s));
    }

    icon(IDI_TRAY_OFFLINE, "tray_offline.ico",
         {paintTrayIcon(TrayState::Offline, 16), paintTrayIcon(TrayState::Offline, 32)});
    icon(IDI_TRAY_AWAY, "tray_away.ico", {paintTrayIcon(TrayState::Away, 16), paintTrayIcon(TrayState::Away, 32)});
    icon(IDI_TRAY_ONLINE, "tray_online.ico",
         {paintTrayIcon(TrayState::Online, 16), paintTrayIcon(TrayState::Online, 32)});
    icon(IDI_APP, "app.ico", {paintAppIcon(16), paintAppIcon(32), paintAppIcon(48)});
    return out;
}

std::string imagesScript(const std::vector<Asset>& images)
{
    std::string out =
        "// Bitmaps and icons of fonaris.exe, written by resgen; do not edit.\n"
        "// The files lie beside this script.\n\n";
    for (const Asset& a : images) {
        const char* type = a.kind == AssetKind::Icon ? " ICON \"" : " BITMAP \"";
        out += std::to_string(a.resourceId) + type + a.fileName + "\"\n";
    }
    return out;
}

std::vector<Asset> allAssets()
{
    std::vector<Asset> out = imageAssets();
    const std::string images = imagesScript(out);

    std::vector<RcString> rows;
    for (const fonaris::res::StringTableRow& row : fonaris::res::kStringTable) rows.push_back({row.id, row.text});
    const std::string strings = stringTableScript(rows);

    out.push_back({AssetKind::Script, 0, "images.rc", Bytes(images.begin(), images.end())});
    out.push_back({AssetKind::Script, 0, "strings.rc", Bytes(strings.begin(), strings.end())});
    return out;
}

}  // namespace resgen
