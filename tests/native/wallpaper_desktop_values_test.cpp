#include "wallpaper/desktop_values.h"

#include <gtest/gtest.h>

namespace velmaro::wallpaper {

namespace {
using Texts = std::vector<std::string>;
Texts texts(int index) {
    Texts out;
    for (const auto& v : desktop_values("C:\\WINDOWS\\VMImage.bmp", display_mode(index)))
        out.push_back(v.text);
    return out;
}
} // namespace

TEST(DesktopValues, NamesInWritingOrder) {
    Texts names;
    for (const auto& v : desktop_values("x", display_mode(0)))
        names.push_back(v.name);
    EXPECT_EQ(names, (Texts{"Wallpaper", "TileWallpaper", "WallpaperStyle", "WallpaperOriginX",
                            "WallpaperOriginY"}));
}

TEST(DisplayModes, TheTableOfTheOptionsList) {
    const std::string path = "C:\\WINDOWS\\VMImage.bmp";
    struct Row {
        const char* caption;
        Texts values;
        std::optional<imaging::ScreenFit> fit;
        imaging::RectLayout layout;
    };
    using imaging::RectLayout;
    const Row rows[] = {
        {"Tile", {path, "1", "0", "0", "0"}, std::nullopt, RectLayout::Tile},
        {"Center", {path, "0", "0", "0", "0"}, std::nullopt, RectLayout::Center},
        {"Strech", {path, "0", "2", "0", "0"}, std::nullopt, RectLayout::Stretch},
        // Fit and Fill: rendered at the screen's size, shown centred.
        {"Fit", {path, "0", "0", "0", "0"}, imaging::ScreenFit::Fit, RectLayout::Center},
        {"Fill", {path, "0", "0", "0", "0"}, imaging::ScreenFit::Fill, RectLayout::Center},
    };
    ASSERT_EQ(display_modes().size(), std::size(rows));
    for (int i = 0; i < static_cast<int>(std::size(rows)); ++i) {
        const DisplayMode& mode = display_mode(i);
        EXPECT_EQ(&mode, &display_modes()[static_cast<std::size_t>(i)]);
        EXPECT_EQ(mode.index, i);
        EXPECT_STREQ(mode.caption, rows[i].caption);
        EXPECT_EQ(texts(i), rows[i].values) << i;
        EXPECT_EQ(mode.fit, rows[i].fit) << i;
        EXPECT_EQ(mode.layout, rows[i].layout) << i;
    }
    EXPECT_EQ(&tiled_mode(), &display_mode(0));
}

TEST(DisplayModes, AnIndexOfNoRowIsNoModeChosen) {
    for (int index : {-1, 5, 7, -2}) {
        EXPECT_EQ(texts(index), (Texts{"C:\\WINDOWS\\VMImage.bmp", "0", "-1", "0", "0"})) << index;
        EXPECT_FALSE(display_mode(index).fit.has_value()) << index;
        EXPECT_EQ(display_mode(index).layout, imaging::RectLayout::Center) << index;
    }
}

} // namespace velmaro::wallpaper
