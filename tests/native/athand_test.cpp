// The quiet switches' logic: the switch table, the log's trimming, the history walk, the
// exclusion list with the rotation's filter, and the desktop menu's registry layout.
#include "app/command_line.h"
#include "app/quiet_log.h"
#include "state/desktop_menu.h"
#include "state/exclusion_list.h"
#include "wallpaper/history.h"
#include "wallpaper/rotation.h"

#include <gtest/gtest.h>

#include <set>

namespace velmaro {

TEST(SwitchTable, FirstArgumentChoosesTheMode) {
    using app::RunMode;
    const std::pair<const char*, RunMode> cases[] = {
        {"V.exe /s", RunMode::Unattended},
        {"V.exe /S", RunMode::Interactive},
        {"V.exe /next", RunMode::Next},
        {"V.exe /NEXT x", RunMode::Next},
        {"\"C:\\a b\\V.exe\" \"/Previous\"", RunMode::Previous},
        {"V.exe /show", RunMode::Show},
        {"V.exe /eXclude", RunMode::Exclude},
        {"V.exe /nexts", RunMode::Interactive},
        {"V.exe x /next", RunMode::Interactive},
        {"V.exe", RunMode::Interactive},
        {"V.exe -next", RunMode::Interactive},
    };
    for (const auto& [line, mode] : cases)
        EXPECT_EQ(app::run_mode(line), mode) << line;
    for (const auto& row : app::switch_rows())
        EXPECT_EQ(row.quiet, row.mode != RunMode::Unattended) << row.name;
}

TEST(QuietLog, OneLinePerFailureAndTheOldestDropped) {
    EXPECT_EQ(app::log_line("2026-12-09 16:00:00", "/next", "a\r\nb"), "2026-12-09 16:00:00 /next: a  b\r\n");
    // Each line 4 bytes; the file stays below the limit, whole lines only.
    EXPECT_EQ(app::appended_log("aa\r\nbb\r\n", "cc\r\n", 13), "aa\r\nbb\r\ncc\r\n");
    EXPECT_EQ(app::appended_log("aa\r\nbb\r\n", "cc\r\n", 12), "bb\r\ncc\r\n");
    EXPECT_EQ(app::appended_log("aa\r\nbb\r\n", "cc\r\n", 5), "cc\r\n");
    EXPECT_EQ(app::appended_log("", "abcdef\r\n", 6), "abc\r\n");
}

namespace {
wallpaper::HistoryEntry one(const std::string& p) {
    return {4, {{"", p}}};
}
std::string shown(const std::optional<wallpaper::HistoryEntry>& e) {
    return e ? e->pictures.at(0).path : "none";
}
} // namespace

TEST(History, BackAndForwardAsABrowserPassingOverGonePictures) {
    std::set<std::string> gone;
    auto exists = [&](const std::string& p) { return !gone.count(p); };
    wallpaper::History h;
    EXPECT_EQ(shown(h.back(exists)), "none");
    // next, next, previous, next, next over a b c d: a b a b c
    h.add(one("a"));
    h.add(one("b"));
    EXPECT_EQ(shown(h.back(exists)), "a");
    EXPECT_EQ(shown(h.forward(exists)), "b");
    EXPECT_EQ(shown(h.forward(exists)), "none"); // the rotation's turn
    h.add(one("c"));
    EXPECT_EQ(h.current()->picture_on("any monitor"), "c");
    gone.insert("b");
    EXPECT_EQ(shown(h.back(exists)), "a");
    h.add(one("d")); // a change after going back drops what lay ahead
    EXPECT_EQ(h.entries().size(), 2u);
    EXPECT_EQ(shown(h.forward(exists)), "none");
    // Per monitor: a gone picture is left out of its entry.
    h.add({3, {{"M1", "b"}, {"M2", "e"}}});
    const auto restored = wallpaper::History::from_text(h.to_text());
    EXPECT_EQ(restored.entries(), h.entries());
    EXPECT_EQ(restored.position(), 2u);
    for (int i = 0; i < 120; ++i)
        h.add(one(std::to_string(i)));
    EXPECT_EQ(h.entries().size(), wallpaper::kHistoryLimit);
    EXPECT_EQ(shown(h.back(exists)), "118");
    EXPECT_EQ(wallpaper::History::from_text("position\t7\r\nx\tbad\r\n4\t\tz\r\n").position(), 0u);
}

TEST(Exclusion, KeptWithoutRegardToCaseAndFilteringTheRotation) {
    auto list = state::ExclusionList::from_text("\xEF\xBB\xBF"
                                                "C:\\P\\c.jpg\r\n\r\nC:\\P\\C.JPG\n");
    EXPECT_EQ(list.paths(), std::vector<std::string>{"C:\\P\\c.jpg"});
    EXPECT_TRUE(list.add("C:\\Q\\\xC3\xBC.jpg"));
    EXPECT_FALSE(list.add("c:\\p\\C.jpg"));
    EXPECT_EQ(state::ExclusionList::from_text(list.to_text()).paths(), list.paths());
    const std::vector<std::string> names{"a.jpg", "b.jpg", "c.jpg", "d.jpg"};
    auto allowed = [&](const std::string& p) { return !list.contains(p); };
    EXPECT_EQ(wallpaper::rotation_choices("C:\\P", names, allowed), (std::vector<int>{0, 1, 3}));
    EXPECT_TRUE(list.remove("C:\\P\\C.jpg"));
    EXPECT_EQ(wallpaper::rotation_choices("C:\\P\\", names, allowed), (std::vector<int>{0, 1, 2, 3}));
}

TEST(DesktopMenu, OneSubmenuWithFourCommandsOfThisProgram) {
    const auto values = state::desktop_menu_values("C:\\V m\\Velmaro.exe");
    ASSERT_EQ(values.size(), 10u);
    const std::string key = state::kDesktopMenuKey;
    EXPECT_EQ(values[0], (state::RegistryText{key, "MUIVerb", "Velmaro"}));
    EXPECT_EQ(values[1], (state::RegistryText{key, "SubCommands", ""}));
    EXPECT_EQ(values[8],
              (state::RegistryText{key + "\\shell\\4", "MUIVerb", "Never show this picture again"}));
    EXPECT_EQ(values[3],
              (state::RegistryText{state::first_item_command_key(), "", "\"C:\\V m\\Velmaro.exe\" /next"}));
    EXPECT_EQ(values[5].value, "\"C:\\V m\\Velmaro.exe\" /previous");
}

} // namespace velmaro
