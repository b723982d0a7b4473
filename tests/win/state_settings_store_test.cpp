#include "state/settings_store_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "base/error.h"
#include "state_scratch_key.h"

namespace velmaro::state {

using testing::key_exists;
using testing::raw_value;
using testing::ScratchKey;
using testing::set_raw_value;

namespace {

std::string error_text(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(SettingsStore, FreshKeyGivesDefaultsAndCreatesOnlyTheKey) {
    ScratchKey key;
    ASSERT_FALSE(key_exists(key.path()));
    TSettingsStore store;
    store.Open(key.path());
    EXPECT_TRUE(store.is_open());
    EXPECT_TRUE(key_exists(key.path())) << "opening for reading alone creates the key";

    EXPECT_EQ(store.ReadNumber("Settings", "File", 0), 0);
    EXPECT_EQ(store.ReadNumber("Settings", "Folder", 5), 5);
    EXPECT_TRUE(store.ReadFlag("Settings", "RndFile", true));
    EXPECT_FALSE(store.ReadFlag("Settings", "ChangeWP", false));
    EXPECT_EQ(store.ReadText("Settings", "Date", "00"), "00");
    EXPECT_EQ(store.ReadText("", "Date", "00"), "00");
    EXPECT_FALSE(key_exists(key.sub("Settings"))) << "reads never create the section";

    store.WriteNumber("Settings", "File", 3);
    EXPECT_TRUE(key_exists(key.sub("Settings")));
    auto stored = raw_value(key.sub("Settings"), "File");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->data, std::string("3\0", 2)) << "text and one terminating NUL";
    store.Close();
}

TEST(SettingsStore, WritesGoStraightToTheRegistryAndReadsAskAgain) {
    ScratchKey key;
    TSettingsStore writer(key.path());
    TSettingsStore reader(key.path());
    writer.WriteText("Settings", "Date", "08.12.2024");
    EXPECT_EQ(reader.ReadText("Settings", "Date", "00"), "08.12.2024");
    std::string changed = "09.12.2024";
    set_raw_value(key.sub("Settings"), "Date", REG_SZ, changed.c_str(),
                  static_cast<DWORD>(changed.size() + 1));
    EXPECT_EQ(reader.ReadText("Settings", "Date", "00"), changed);

    writer.WriteFlag("Settings", "RndFile", false);
    writer.WriteFlag("Settings", "ChangeWP", true);
    EXPECT_EQ(raw_value(key.sub("Settings"), "RndFile")->data, std::string("0\0", 2));
    EXPECT_EQ(raw_value(key.sub("Settings"), "ChangeWP")->data, std::string("1\0", 2));
    EXPECT_FALSE(reader.ReadFlag("Settings", "RndFile", true));
    EXPECT_TRUE(reader.ReadFlag("Settings", "ChangeWP", false));

    // Deeper sections are key paths below the opened key.
    writer.WriteNumber("A\\B", "N", 42);
    EXPECT_TRUE(key_exists(key.sub("A\\B")));
    EXPECT_EQ(reader.ReadNumber("A\\B", "N", 0), 42);
}

TEST(SettingsStore, NumberAndFlagTexts) {
    ScratchKey key;
    TSettingsStore store(key.path());
    store.WriteNumber("Settings", "Display", -1);
    EXPECT_EQ(raw_value(key.sub("Settings"), "Display")->data, std::string("-1\0", 3));
    EXPECT_EQ(store.ReadNumber("Settings", "Display", 0), -1);
    EXPECT_TRUE(store.ReadFlag("Settings", "Display", false));

    struct Case {
        const char* text;
        int expected;
    };
    for (Case c : {Case{" 12", 12}, Case{"12 ", 77}, Case{"", 77}, Case{"$1F", 31}, Case{"0x10", 16},
                   Case{"4294967296", 77}, Case{"2147483648", 77}, Case{"-2147483648", INT32_MIN}}) {
        store.WriteText("Settings", "N", c.text);
        EXPECT_EQ(store.ReadNumber("Settings", "N", 77), c.expected) << '"' << c.text << '"';
    }

    store.WriteText("Settings", "F", "0");
    EXPECT_FALSE(store.ReadFlag("Settings", "F", true));
    store.WriteText("Settings", "F", "2");
    EXPECT_TRUE(store.ReadFlag("Settings", "F", false));
    store.WriteText("Settings", "F", "abc");
    EXPECT_TRUE(store.ReadFlag("Settings", "F", true));
    EXPECT_FALSE(store.ReadFlag("Settings", "F", false));
}

TEST(SettingsStore, ValuesOfOtherTypes) {
    ScratchKey key;
    TSettingsStore store(key.path());
    DWORD five = 5;
    set_raw_value(key.sub("Settings"), "File", REG_DWORD, &five, sizeof five);
    EXPECT_EQ(error_text([&] { store.ReadNumber("Settings", "File", 0); }), "Invalid data type for 'File'");
    EXPECT_EQ(error_text([&] { store.ReadText("Settings", "File", ""); }), "Invalid data type for 'File'");
    EXPECT_EQ(error_text([&] { store.ReadFlag("Settings", "File", false); }), "Invalid data type for 'File'");
    set_raw_value(key.sub("Settings"), "Bin", REG_BINARY, "12", 2);
    EXPECT_EQ(error_text([&] { store.ReadNumber("Settings", "Bin", 0); }), "Invalid data type for 'Bin'");

    // A write replaces a value of any type with text.
    store.WriteNumber("Settings", "File", 2);
    EXPECT_EQ(raw_value(key.sub("Settings"), "File")->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(store.ReadNumber("Settings", "File", 0), 2);

    const char expand[] = "%SystemRoot%\\VMImage.bmp";
    set_raw_value(key.sub("Settings"), "Path", REG_EXPAND_SZ, expand, sizeof expand);
    EXPECT_EQ(store.ReadText("Settings", "Path", ""), expand) << "read as stored, not expanded";
}

TEST(SettingsStore, OddlyStoredText) {
    ScratchKey key;
    TSettingsStore store(key.path());
    set_raw_value(key.sub("Settings"), "Empty", REG_SZ, "", 0);
    EXPECT_EQ(store.ReadText("Settings", "Empty", "dflt"), "") << "a value with no data is empty text";
    EXPECT_EQ(store.ReadNumber("Settings", "Empty", 9), 9);

    set_raw_value(key.sub("Settings"), "NoNul", REG_SZ, "17", 2);
    EXPECT_EQ(store.ReadText("Settings", "NoNul", ""), "17");
    EXPECT_EQ(store.ReadNumber("Settings", "NoNul", 0), 17);

    set_raw_value(key.sub("Settings"), "Inner", REG_SZ,
                  "4\0"
                  "2\0",
                  4);
    EXPECT_EQ(store.ReadText("Settings", "Inner", ""), "4") << "cut at the first NUL";
}

TEST(SettingsStore, LongValuesReadWhole) {
    ScratchKey key;
    TSettingsStore store(key.path());
    std::string long_text;
    for (int i = 0; long_text.size() < 100 * 1024; ++i)
        long_text += "C:\\Pictures\\" + std::to_string(i) + ";";
    store.WriteText("Settings", "Long", long_text);
    EXPECT_EQ(raw_value(key.sub("Settings"), "Long")->data.size(), long_text.size() + 1);
    EXPECT_EQ(store.ReadText("Settings", "Long", ""), long_text);
}

TEST(SettingsStore, EmptySectionIsTheOpenedKeyItself) {
    ScratchKey key;
    TSettingsStore store(key.path());
    store.WriteText("", "Wallpaper", "C:\\WINDOWS\\VMImage.bmp");
    store.WriteText("", "TileWallpaper", "1");
    auto v = raw_value(key.path(), "Wallpaper");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->data, std::string("C:\\WINDOWS\\VMImage.bmp\0", 23));
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.path().c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD subkeys = 99;
    RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(h);
    EXPECT_EQ(subkeys, 0u) << "no subkey made for the empty section";
    EXPECT_EQ(store.ReadText("", "TileWallpaper", ""), "1");
}

// A volatile key cannot have lasting subkeys: the registry's own way to refuse a key.
TEST(SettingsStore, KeysThatCannotBeCreated) {
    ScratchKey key;
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.path().c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(h);

    TSettingsStore unopened;
    unopened.Open(key.sub("Velmaro")); // no error at this point
    EXPECT_FALSE(unopened.is_open());
    EXPECT_EQ(unopened.ReadNumber("Settings", "File", 4), 4);
    EXPECT_EQ(unopened.ReadText("", "Date", "00"), "00");
    EXPECT_EQ(error_text([&] { unopened.WriteNumber("Settings", "File", 1); }),
              "Failed to create key " + key.sub("Velmaro\\Settings"));
    EXPECT_EQ(error_text([&] { unopened.WriteText("", "Wallpaper", "x"); }),
              "Failed to create key " + key.sub("Velmaro"));

    TSettingsStore volatile_key(key.path());
    ASSERT_TRUE(volatile_key.is_open());
    volatile_key.WriteText("", "Kept", "yes");
    EXPECT_EQ(error_text([&] { volatile_key.WriteText("Settings", "File", "1"); }),
              "Failed to create key Settings");
    EXPECT_EQ(volatile_key.ReadText("", "Kept", ""), "yes") << "earlier writes stay written";
}

TEST(SettingsStore, ValuesThatCannotBeSet) {
    ScratchKey key;
    TSettingsStore store(key.path());
    // Value names are limited to 16383 characters.
    std::string too_long(20000, 'N');
    EXPECT_EQ(error_text([&] { store.WriteText("", too_long, "1"); }),
              "Failed to set data for '" + too_long + "'");
    EXPECT_EQ(error_text([&] { store.WriteText("Settings", too_long, "1"); }),
              "Failed to set data for '" + too_long + "'");
}

TEST(SettingsStore, ValueNamesAndDeletionForASectionOfMonitorNames) {
    ScratchKey key;
    TSettingsStore store(key.path());
    EXPECT_TRUE(store.ValueNames("Monitors").empty()) << "a missing section has no values";
    EXPECT_FALSE(key_exists(key.sub("Monitors"))) << "listing creates nothing";
    store.DeleteValue("Monitors", "\\\\.\\DISPLAY1 0,0,1280,1024"); // nothing to delete: no error

    // Names hold backslashes, blanks, commas and minus signs, as monitor names do.
    const std::string first = "\\\\.\\DISPLAY1 0,0,1280,1024", second = "\\\\.\\DISPLAY2 -1024,0,1024,768";
    store.WriteText("Monitors", first, "C:\\a.jpg");
    store.WriteText("Monitors", second, "C:\\b.jpg");
    auto names = store.ValueNames("Monitors");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{first, second}));

    store.DeleteValue("Monitors", second);
    EXPECT_EQ(store.ValueNames("Monitors"), std::vector<std::string>{first});
    EXPECT_EQ(store.ReadText("Monitors", first, ""), "C:\\a.jpg");
    EXPECT_EQ(store.ReadText("Monitors", second, "gone"), "gone");
}

} // namespace velmaro::state
