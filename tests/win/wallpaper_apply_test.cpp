#include "wallpaper/wallpaper_win.h"

#include "wallpaper/stager_win.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/error.h"
#include "state_scratch_key.h"
#include "state_temp_dir.h"

namespace velmaro::wallpaper {

using testing::raw_value;
using testing::read_file;
using testing::TempDir;
using testing::write_file;

namespace {

const char* const kNames[] = {"Wallpaper", "TileWallpaper", "WallpaperStyle", "WallpaperOriginX",
                              "WallpaperOriginY"};

std::string text_of(const char* name) {
    auto v = raw_value("Control Panel\\Desktop", name);
    if (!v)
        return "(missing)";
    if (v->type != REG_SZ)
        return "(not REG_SZ)";
    return std::string(v->data.c_str());
}

// Puts the user's desktop values back as they were, so the tests leave no trace.
class DesktopValuesKept {
  public:
    DesktopValuesKept() {
        for (const char* n : kNames)
            saved_.push_back(raw_value("Control Panel\\Desktop", n));
        char current[MAX_PATH] = {};
        SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, current, 0);
        wallpaper_ = current;
    }
    ~DesktopValuesKept() {
        HKEY h = nullptr;
        RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_ALL_ACCESS, &h);
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i])
                RegSetValueExA(h, kNames[i], 0, saved_[i]->type,
                               reinterpret_cast<const BYTE*>(saved_[i]->data.data()),
                               static_cast<DWORD>(saved_[i]->data.size()));
            else
                RegDeleteValueA(h, kNames[i]);
        }
        RegCloseKey(h);
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, wallpaper_.data(), 0);
    }

  private:
    std::vector<std::optional<testing::RawValue>> saved_;
    std::string wallpaper_;
};

// A small 24-bit bitmap file, 2 x 2 pixels.
std::string tiny_bmp() {
    const unsigned char bytes[] = {
        'B', 'M', 70,  0, 0,   0, 0, 0, 0,   0, 54, 0, 0,   0, // file header
        40,  0,   0,   0, 2,   0, 0, 0, 2,   0, 0,  0, 1,   0,   24,  0,
        0,   0,   0,   0, 16,  0, 0, 0,                                  // info header
        0,   0,   0,   0, 0,   0, 0, 0, 0,   0, 0,  0, 0,   0,   0,   0, //
        0,   0,   255, 0, 255, 0, 0, 0, 255, 0, 0,  0, 255, 255, 255, 0, // two padded rows
    };
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string system_wallpaper() {
    char current[MAX_PATH] = {};
    SystemParametersInfoA(SPI_GETDESKWALLPAPER, MAX_PATH, current, 0);
    return current;
}

} // namespace

TEST(WindowsDirPath, TheSystemsWindowsDirectory) {
    std::string dir = WindowsDirPath();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '\\');
    DWORD attrs = GetFileAttributesA(dir.c_str());
    ASSERT_NE(attrs, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);
    char env[MAX_PATH] = {};
    GetEnvironmentVariableA("windir", env, MAX_PATH);
    EXPECT_EQ(lstrcmpiA(dir.c_str(), env), 0) << dir << " vs " << env;
}

TEST(StagedPath, WindowsDirectoryWhenWritable) {
    std::string expected = WindowsDirPath() + "\\VMImage.bmp";
    bool existed = GetFileAttributesA(expected.c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(staged_wallpaper_path(), expected);
    EXPECT_EQ(GetFileAttributesA(expected.c_str()) != INVALID_FILE_ATTRIBUTES, existed)
        << "finding out leaves no file behind";
}

TEST(StagedPath, ApplicationDataWhenRefused) {
    TempDir windows_dir;
    TempDir app_data;
    // The system refuses to create a file where a folder of that name stands, with the
    // same "access denied" that a Windows directory gives a standard user.
    CreateDirectoryA(windows_dir.file("VMImage.bmp").c_str(), nullptr);
    int lookups = 0;
    auto app_data_root = [&] {
        ++lookups;
        return app_data.path();
    };
    std::string path = choose_staged_path(windows_dir.path(), app_data_root);
    EXPECT_EQ(path, app_data.path() + "\\Velmaro\\VMImage.bmp");
    DWORD attrs = GetFileAttributesA((app_data.path() + "\\Velmaro").c_str());
    EXPECT_TRUE(attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
        << "folder made on demand";
    EXPECT_EQ(choose_staged_path(windows_dir.path(), app_data_root), path) << "an existing folder is fine";
    EXPECT_EQ(lookups, 2);
    EXPECT_EQ(choose_staged_path(windows_dir.path(), [] { return std::string(); }),
              windows_dir.file("VMImage.bmp"))
        << "no application-data folder: the Windows directory, whose write reports the refusal";

    // Any other obstacle keeps the Windows directory, so its write reports it.
    std::string missing = windows_dir.file("no-such-folder");
    EXPECT_EQ(choose_staged_path(missing, app_data_root), missing + "\\VMImage.bmp");
    TempDir writable;
    EXPECT_EQ(choose_staged_path(writable.path(), app_data_root), writable.file("VMImage.bmp"));
    EXPECT_EQ(lookups, 2) << "the other folder is looked up only when it is needed";
    EXPECT_TRUE(writable.names().empty());
}

TEST(StagedFile, WrittenWholeOrReported) {
    TempDir dir;
    std::string path = dir.file("VMImage.bmp");
    write_file(path, std::string(5000, 'x'));
    std::string bmp = tiny_bmp();
    write_staged_file(path, std::span(reinterpret_cast<const std::uint8_t*>(bmp.data()), bmp.size()));
    EXPECT_EQ(read_file(path), bmp);

    std::string nowhere = dir.file("gone\\VMImage.bmp");
    try {
        write_staged_file(nowhere, {});
        ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + nowhere);
    }
}

TEST(SetDesktopWallpaper, FiveValuesPerDisplayIndexAndTheSystemTold) {
    DesktopValuesKept keep;
    TempDir dir;
    std::string path = dir.file("VMImage.bmp");
    write_file(path, tiny_bmp());

    struct Case {
        int index;
        const char *tile, *style;
    };
    for (Case c : {Case{0, "1", "0"}, Case{1, "0", "0"}, Case{2, "0", "2"}, Case{-1, "0", "-1"}}) {
        // Something else first, so each round shows its own writes.
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(""), SPIF_UPDATEINIFILE);
        testing::set_raw_value("Control Panel\\Desktop", "WallpaperOriginX", REG_SZ, "9", 2);

        SetDesktopWallpaper(path, display_mode(c.index));
        EXPECT_EQ(text_of("Wallpaper"), path) << c.index;
        EXPECT_EQ(text_of("TileWallpaper"), c.tile) << c.index;
        EXPECT_EQ(text_of("WallpaperStyle"), c.style) << c.index;
        EXPECT_EQ(text_of("WallpaperOriginX"), "0") << c.index;
        EXPECT_EQ(text_of("WallpaperOriginY"), "0") << c.index;
        EXPECT_EQ(system_wallpaper(), path) << "the system took the staged file";
    }
}

TEST(SetDesktopWallpaper, ARefusalIsReported) {
    DesktopValuesKept keep;
    std::string asked;
    auto refuse = [&](const std::string& path) {
        asked = path;
        return false;
    };
    try {
        SetDesktopWallpaper("C:\\staged\\VMImage.bmp", display_mode(2), refuse);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot set wallpaper C:\\staged\\VMImage.bmp");
    }
    EXPECT_EQ(asked, "C:\\staged\\VMImage.bmp");
    EXPECT_EQ(text_of("WallpaperStyle"), "2") << "the values are written before the system is asked";
}

TEST(SetWallpaperNow, WithoutAWindowInTheStoredMode) {
    DesktopValuesKept keep;
    TempDir dir;
    const std::string picture = dir.file("tiny.bmp");
    write_file(picture, tiny_bmp());
    const std::string staged = staged_wallpaper_path();
    const std::string before = read_file(staged);
    set_wallpaper_now(picture);
    const std::string now = read_file(staged);
    EXPECT_EQ(now.substr(0, 2), "BM");
    EXPECT_EQ(now.size(), tiny_bmp().size()) << "a 24-bit bitmap stays one";
    EXPECT_EQ(system_wallpaper(), staged);
    EXPECT_EQ(text_of("TileWallpaper"), stored_display_mode().tile_wallpaper);
    EXPECT_THROW(set_wallpaper_now(dir.file("gone.bmp")), FileError);
    EXPECT_EQ(read_file(staged), now) << "a picture that cannot be read changes nothing";
    if (before != "(missing)")
        write_file(staged, before);
}

} // namespace velmaro::wallpaper
