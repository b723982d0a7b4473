#include "wallpaper/desktop_values.h"

#include <gtest/gtest.h>

namespace velmaro::wallpaper {

namespace {
std::vector<std::string> texts(int index) {
    std::vector<std::string> out;
    for (const auto& v : desktop_values("C:\\WINDOWS\\VMImage.bmp", index))
        out.push_back(v.text);
    return out;
}
using Texts = std::vector<std::string>;
} // namespace

TEST(DesktopValues, NamesInWritingOrder) {
    auto values = desktop_values("x", 0);
    std::vector<std::string> names;
    for (const auto& v : values)
        names.push_back(v.name);
    EXPECT_EQ(names, (Texts{"Wallpaper", "TileWallpaper", "WallpaperStyle", "WallpaperOriginX",
                            "WallpaperOriginY"}));
}

TEST(DesktopValues, PerDisplayIndex) {
    const std::string path = "C:\\WINDOWS\\VMImage.bmp";
    EXPECT_EQ(texts(0), (Texts{path, "1", "0", "0", "0"}));   // Tile
    EXPECT_EQ(texts(1), (Texts{path, "0", "0", "0", "0"}));   // Center
    EXPECT_EQ(texts(2), (Texts{path, "0", "2", "0", "0"}));   // Strech
    EXPECT_EQ(texts(3), (Texts{path, "0", "0", "0", "0"}));   // Fit: centred, at the screen's size
    EXPECT_EQ(texts(4), (Texts{path, "0", "0", "0", "0"}));   // Fill: the same
    EXPECT_EQ(texts(-1), (Texts{path, "0", "-1", "0", "0"})); // no item chosen
    EXPECT_EQ(texts(7), (Texts{path, "0", "7", "0", "0"}));
}

TEST(DesktopValues, OnlyFitAndFillAreRenderedAtTheScreenSize) {
    EXPECT_EQ(screen_fit_for(3), imaging::ScreenFit::Fit);
    EXPECT_EQ(screen_fit_for(4), imaging::ScreenFit::Fill);
    for (int index : {-1, 0, 1, 2, 5})
        EXPECT_FALSE(screen_fit_for(index).has_value()) << index;
}

} // namespace velmaro::wallpaper
