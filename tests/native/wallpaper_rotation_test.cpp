#include "wallpaper/rotation.h"
#include "wallpaper/rotation_sequence.h"

#include "base/error.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace velmaro::wallpaper {

namespace {

// The window and the registry as the rotation sees them: folders of given sizes in the
// selected-folder list, the stored settings carried from run to run as the registry
// would, and a record of every step the sequence takes.
struct Runs : RotationHost {
    Runs(std::vector<int> sizes, bool random_order = false, int folder = 0, int file = 0)
        : folder_sizes(std::move(sizes)), random(random_order), stored_folder(folder), stored_file(file) {}

    std::vector<int> folder_sizes;
    bool random = false;
    int stored_folder = 0; // a fresh system: no values, so the readers' defaults
    int stored_file = 0;
    bool once_per_day = false;
    bool no_repeat = false;
    std::vector<std::uint8_t> round; // the remembered round without repeats
    std::string date = "00";
    std::optional<std::string> today_text = "2026-12-09";
    std::mt19937 start_times{2024}; // times of day at which the machine is started

    int per_run = 1; // pictures a run chooses: one per monitor when each has its own
    int generators = 0;

    std::vector<std::string> steps;
    int listed_folder = -1; // the folder shown in the file list
    int chosen_file = -1;
    int requests = 0;

    StoredRotation read_stored() override {
        steps.push_back("read");
        return {stored_file, stored_folder, random, once_per_day, no_repeat};
    }
    std::string stored_date() override { return date; }
    void store_date(const std::string& d) override {
        steps.push_back("date " + d);
        date = d;
    }
    std::optional<std::string> today() override { return today_text; }
    void reload_folder_list() override { steps.push_back("reload"); }
    int folder_count() override { return static_cast<int>(folder_sizes.size()); }
    void select_folder(int index) override {
        steps.push_back("folder " + std::to_string(index));
        // The window's list refuses a line it does not have, as SelDirLBClick does.
        if (index < 0 || index >= folder_count())
            throw ListIndexError(index);
        listed_folder = index;
    }
    int file_count() override { return folder_sizes.at(static_cast<std::size_t>(listed_folder)); }
    void select_file(int index) override {
        steps.push_back("file " + std::to_string(index));
        chosen_file = file_count() > 0 ? index : -1;
    }
    void store_position(const RotationPosition& next) override {
        steps.push_back("store " + std::to_string(next.folder) + "," + std::to_string(next.file));
        stored_folder = next.folder;
        stored_file = next.file;
    }
    void request_wallpaper() override {
        steps.push_back("request");
        ++requests;
    }
    int pictures_per_run() override { return per_run; }
    RandomGenerator random_generator() override {
        ++generators;
        std::uniform_int_distribution<std::uint32_t> time_of_day(0, 86'399'999);
        return RandomGenerator(time_of_day(start_times));
    }

    PictureFolder list_folder(int index) override {
        std::vector<std::string> names;
        for (int i = 0; i < folder_sizes.at(static_cast<std::size_t>(index)); ++i)
            names.push_back(file_name(i));
        return {std::to_string(index), names};
    }
    std::string file_name(int index) override { return std::to_string(index) + ".jpg"; }
    std::vector<std::uint8_t> load_round() override { return round; }
    void save_round(const std::vector<std::uint8_t>& bytes) override { round = bytes; }
    RoundRandom round_random() override {
        const std::uint32_t seed[] = {static_cast<std::uint32_t>(start_times()), 1};
        return RoundRandom(seed);
    }

    // One unattended start: the (folder, picture) shown, picture -1 for an empty folder.
    std::pair<int, int> run() {
        rotate_wallpaper(*this);
        return {listed_folder, chosen_file};
    }

    std::vector<std::pair<int, int>> runs(int count) {
        std::vector<std::pair<int, int>> shown;
        for (int i = 0; i < count; ++i)
            shown.push_back(run());
        return shown;
    }
};

using Shown = std::vector<std::pair<int, int>>;

} // namespace

TEST(RandomGenerator, StateFromTimeOfDay) {
    EXPECT_EQ(RandomGenerator::state_from_time(0, 0, 0, 0), 0u);
    EXPECT_EQ(RandomGenerator::state_from_time(0, 0, 1, 5), 1005u);
    EXPECT_EQ(RandomGenerator::state_from_time(1, 2, 3, 4), 3723004u);
    EXPECT_EQ(RandomGenerator::state_from_time(23, 59, 59, 999), 86399999u);
}

TEST(RandomGenerator, DrawsFollowTheStatedRecurrence) {
    RandomGenerator g(86399999u);
    // Values worked out by hand from state := state * 134775813 + 1 (mod 2^32) and the
    // upper half of state * n.
    EXPECT_EQ(g.draw(10), 7u);
    EXPECT_EQ(g.state(), 3106359292u);
    EXPECT_EQ(g.draw(100), 99u);
    EXPECT_EQ(g.state(), 4274149357u);
    EXPECT_EQ(g.draw(1000), 338u);
    EXPECT_EQ(g.draw(7), 1u);
    EXPECT_EQ(g.draw(0xFFFFFFFFu), 658233047u);

    RandomGenerator from_zero(0);
    EXPECT_EQ(from_zero.draw(10), 0u);
    EXPECT_EQ(from_zero.state(), 1u);
}

TEST(RandomGenerator, DrawsStayInRangeAndSpreadEvenly) {
    RandomGenerator g(12345);
    EXPECT_EQ(g.draw(0), 0u);
    EXPECT_EQ(g.draw(1), 0u);
    std::map<std::uint32_t, int> counts;
    for (int i = 0; i < 40000; ++i) {
        auto r = g.draw(4);
        ASSERT_LT(r, 4u);
        ++counts[r];
    }
    for (std::uint32_t v = 0; v < 4; ++v) {
        EXPECT_GT(counts[v], 9000) << v;
        EXPECT_LT(counts[v], 11000) << v;
    }
}

TEST(RotationChoice, FolderIndexCorrections) {
    EXPECT_EQ(choose_folder(0, 3), 0);
    EXPECT_EQ(choose_folder(2, 3), 2);
    EXPECT_EQ(choose_folder(3, 3), 0);
    EXPECT_EQ(choose_folder(7, 3), 0);
    EXPECT_EQ(choose_folder(-1, 3), 0);
    EXPECT_EQ(choose_folder(-2147483647 - 1, 3), 0);
    // An empty list still names entry 0, whose selection then fails in the window.
    EXPECT_EQ(choose_folder(0, 0), 0);
}

TEST(RotationChoice, FileIndexCorrections) {
    RandomGenerator unused(0);
    EXPECT_EQ(choose_file(0, 4, false, unused), 0);
    EXPECT_EQ(choose_file(3, 4, false, unused), 3); // the last picture is shown too
    EXPECT_EQ(choose_file(4, 4, false, unused), 0);
    EXPECT_EQ(choose_file(-5, 4, false, unused), 0);
    EXPECT_EQ(choose_file(2, 0, false, unused), 0);
    EXPECT_EQ(unused.state(), 0u) << "in turn, the generator is left alone";

    RandomGenerator g(86399999u);
    EXPECT_EQ(choose_file(0, 10, true, g), 7) << "the draw replaces the stored position";
    RandomGenerator one(5);
    EXPECT_EQ(choose_file(3, 1, true, one), 0);
    RandomGenerator none(5);
    EXPECT_EQ(choose_file(3, 0, true, none), 0);
}

TEST(RotationChoice, NextPosition) {
    EXPECT_EQ(next_position(0, 0, 4).folder, 0);
    EXPECT_EQ(next_position(0, 0, 4).file, 1);
    EXPECT_EQ(next_position(1, 2, 4).file, 3);
    EXPECT_EQ(next_position(1, 3, 4).folder, 2); // after the last picture, the next folder
    EXPECT_EQ(next_position(1, 3, 4).file, 0);
    EXPECT_EQ(next_position(2, 0, 1).folder, 3);
    EXPECT_EQ(next_position(2, 0, 0).folder, 3); // an empty folder is left at once
    EXPECT_EQ(next_position(2, 0, 0).file, 0);
}

TEST(RotationSequence, OneFolderShowsEveryPictureInTurn) {
    Runs r({4});
    EXPECT_EQ(r.runs(7), (Shown{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 0}, {0, 1}, {0, 2}}));
}

TEST(RotationSequence, TwoFoldersTakeTurns) {
    Runs r({3, 3});
    EXPECT_EQ(r.runs(8), (Shown{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {0, 0}, {0, 1}}));
}

TEST(RotationSequence, SmallAndEmptyFolders) {
    Runs r({2, 0, 1});
    EXPECT_EQ(r.runs(6), (Shown{{0, 0}, {0, 1}, {1, -1}, {2, 0}, {0, 0}, {0, 1}}));
    EXPECT_EQ(r.stored_folder, 1);
    EXPECT_EQ(r.stored_file, 0);
}

TEST(RotationSequence, HandEditedPositions) {
    Runs past_the_list({2, 2, 2}, false, 7, 1);
    EXPECT_EQ(past_the_list.run(), (std::pair{0, 1}));
    Runs negative({3, 3}, false, -4, -2);
    EXPECT_EQ(negative.runs(2), (Shown{{0, 0}, {0, 1}}));
    Runs shrunk_folder({2, 5}, false, 0, 9); // the folder lost pictures since the last run
    EXPECT_EQ(shrunk_folder.runs(2), (Shown{{0, 0}, {0, 1}}));
}

TEST(RotationSequence, RandomModeShowsEveryPictureAndChangesFolder) {
    Runs r({4, 3, 1}, true);
    std::set<std::pair<int, int>> seen;
    std::map<int, int> runs_per_folder;
    int folder_changes = 0;
    int previous_folder = 0;
    for (int i = 0; i < 600; ++i) {
        auto shown = r.run();
        seen.insert(shown);
        ++runs_per_folder[shown.first];
        if (shown.first != previous_folder)
            ++folder_changes;
        previous_folder = shown.first;
    }
    EXPECT_EQ(seen.size(), 8u) << "every picture of every folder comes up";
    // The folder moves on when the draw is its last picture: on average every n runs,
    // so the folders get runs in proportion to their sizes (4 : 3 : 1).
    EXPECT_GT(runs_per_folder[0], runs_per_folder[1]);
    EXPECT_GT(runs_per_folder[1], runs_per_folder[2]);
    EXPECT_GT(folder_changes, 100);
}

TEST(RotationSequence, RandomModeMovesOnExactlyAfterTheLastPicture) {
    Runs r({5, 5}, true);
    for (int i = 0; i < 200; ++i) {
        int folder_before = choose_folder(r.stored_folder, 2);
        auto shown = r.run();
        ASSERT_EQ(shown.first, folder_before);
        int expected_next = shown.second == 4 ? (folder_before + 1) : folder_before;
        ASSERT_EQ(r.stored_folder, expected_next) << "run " << i;
        ASSERT_EQ(r.stored_file, shown.second == 4 ? 0 : shown.second + 1);
    }
}

TEST(RotationSequence, StepsInTheirOrder) {
    Runs r({3});
    r.run();
    EXPECT_EQ(r.steps,
              (std::vector<std::string>{"read", "reload", "folder 0", "file 0", "store 0,1", "request"}))
        << "the list is read anew before a folder is chosen; the position is stored before the request";
}

TEST(RotationSequence, OnePicturePerMonitorAsSuccessiveRunsWouldChoose) {
    Runs r({3});
    r.per_run = 2;
    r.run();
    EXPECT_EQ(r.steps, (std::vector<std::string>{"read", "reload", "folder 0", "file 0", "folder 0", "file 1",
                                                 "store 0,2", "request"}));
    r.steps.clear();
    r.run();
    EXPECT_EQ(r.steps, (std::vector<std::string>{"read", "reload", "folder 0", "file 2", "folder 0", "file 0",
                                                 "store 0,1", "request"}))
        << "the third picture, then the list starts again";

    // Across folders, the position moves on as far as the pictures taken.
    Runs two({1, 2, 2});
    two.per_run = 3;
    two.run();
    EXPECT_EQ(two.steps, (std::vector<std::string>{"read", "reload", "folder 0", "file 0", "folder 1",
                                                   "file 0", "folder 1", "file 1", "store 2,0", "request"}));
    EXPECT_EQ(two.requests, 1);

    // At random: one seed for the run, and each monitor the generator's next draw.
    Runs random({50}, true);
    random.per_run = 3;
    random.run();
    EXPECT_EQ(random.generators, 1);
    std::mt19937 same_start{2024};
    RandomGenerator g(std::uniform_int_distribution<std::uint32_t>(0, 86'399'999)(same_start));
    std::vector<std::string> files;
    for (const std::string& step : random.steps)
        if (step.rfind("file ", 0) == 0)
            files.push_back(step);
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i)
        expected.push_back("file " + std::to_string(g.draw(50)));
    EXPECT_EQ(files, expected);
}

TEST(RotationSequence, OnceADayChangesOnlyOnANewDay) {
    Runs r({3});
    r.once_per_day = true;
    r.run();
    EXPECT_EQ(r.date, "2026-12-09") << "the first change of the day stores the date";
    EXPECT_EQ(r.requests, 1);
    r.steps.clear();
    r.run();
    EXPECT_EQ(r.steps, std::vector<std::string>{"read"}) << "the same day: nothing is chosen or stored";
    EXPECT_EQ(r.requests, 1);
    r.today_text = "2026-12-10";
    EXPECT_EQ(r.run(), (std::pair{0, 1}));
    EXPECT_EQ(r.requests, 2);
}

TEST(RotationSequence, ADateTheSystemCannotGiveNeitherBlocksNorSticks) {
    Runs r({3});
    r.once_per_day = true;
    r.date = "";
    r.today_text = std::nullopt;
    r.runs(2);
    EXPECT_EQ(r.requests, 2) << "without a date the rule cannot apply: the wallpaper changes";
    EXPECT_EQ(r.date, "") << "and no date is stored that would match for ever";
}

TEST(RotationSequence, AFailedStepStoresAndRequestsNothing) {
    Runs r({}); // no selected folders: the window refuses line 0
    EXPECT_THROW(r.run(), ListIndexError);
    EXPECT_EQ(r.steps, (std::vector<std::string>{"read", "reload", "folder 0"}));
    EXPECT_EQ(r.stored_folder, 0);
    EXPECT_EQ(r.requests, 0);
}

TEST(RotationSequence, WithoutRepeatsOneRoundOverAllFoldersAndThePositionKept) {
    Runs r({1, 2, 7}, true, 1, 1);
    r.no_repeat = true;
    const Shown shown = r.runs(10);
    EXPECT_EQ(std::set(shown.begin(), shown.end()).size(), 10u);
    EXPECT_EQ(std::make_pair(r.stored_folder, r.stored_file), std::make_pair(1, 1));
    Runs empty({}, true);
    empty.no_repeat = true;
    EXPECT_THROW(empty.run(), ListIndexError);
}

} // namespace velmaro::wallpaper
