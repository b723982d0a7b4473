#include "wallpaper/shuffle_round.h"

#include <gtest/gtest.h>

#include <set>

namespace velmaro::wallpaper {

namespace {

using Listing = std::vector<PictureFolder>;
using Shown = std::vector<std::string>; // "folder\name"

Listing folders_of(std::initializer_list<int> sizes) {
    Listing listing;
    for (int n : sizes) {
        listing.push_back({"C:\\F" + std::to_string(listing.size()), {}});
        for (int i = 0; i < n; ++i)
            listing.back().names.push_back("IMG_" + std::to_string(1000 + i) + ".jpg");
    }
    return listing;
}

std::set<std::string> all_of(const Listing& listing) {
    std::set<std::string> all;
    for (const PictureFolder& f : listing)
        for (const std::string& n : f.names)
            all.insert(f.path + "\\" + n);
    return all;
}

// Runs as the program makes them: the round read from its bytes, brought up to date,
// `per_run` pictures taken (one per monitor), written back.
struct Runs {
    explicit Runs(Listing l) : listing(std::move(l)) {}
    Listing listing;
    ExcludedPicture excluded;
    std::vector<std::uint8_t> bytes;
    std::uint32_t seed[2] = {7, 0x5eed};
    RoundRandom random{seed};

    Shown runs(std::size_t count, int per_run = 1) {
        Shown shown;
        while (shown.size() < count) {
            ShuffleRound round = ShuffleRound::parse(bytes).value_or(ShuffleRound{});
            round.update(listing, random, excluded);
            const std::vector<PicturePick> picks = round.take(per_run, random);
            if (picks.empty())
                break;
            for (const PicturePick& p : picks) {
                const PictureFolder& f = listing.at(static_cast<std::size_t>(p.folder));
                shown.push_back(f.path + "\\" + f.names.at(static_cast<std::size_t>(p.file)));
            }
            bytes = round.serialize();
        }
        return shown;
    }
};

std::set<std::string> as_set(const Shown& v) {
    return {v.begin(), v.end()};
}

} // namespace

TEST(ShuffleRound, EveryPictureOncePerRoundAndNoRepeatAcrossTheSeam) {
    for (int per_run : {1, 2, 5}) { // monitors sharing the round
        Runs r(folders_of({1, 2, 7}));
        std::set<Shown> orders;
        Shown last;
        for (int round = 0; round < 60; ++round) {
            const Shown shown = r.runs(10, per_run);
            ASSERT_EQ(as_set(shown).size(), 10u) << "round " << round << ", " << per_run << " a run";
            if (!last.empty()) {
                ASSERT_NE(shown.front(), last.back()) << "round " << round << ", " << per_run << " a run";
            }
            orders.insert(last = shown);
        }
        EXPECT_GT(orders.size(), 50u) << "the rounds hardly differ";
    }
}

TEST(ShuffleRound, ChangesMidRoundKeepTheRestAndAddNewcomers) {
    Runs r(folders_of({3, 4, 5}));
    const std::set<std::string> shown = as_set(r.runs(5));
    // F0 unselected, a picture deleted from F1 and one from F2, two added to F1, G selected.
    r.listing.erase(r.listing.begin());
    r.listing[0].names.erase(r.listing[0].names.begin());
    r.listing[1].names.pop_back();
    r.listing[0].names.insert(r.listing[0].names.end(), {"new-a.jpg", "new-b.jpg"});
    r.listing.push_back({"C:\\G", {"g1.jpg", "g2.jpg"}});
    std::set<std::string> to_come;
    for (const std::string& p : all_of(r.listing))
        if (!shown.count(p))
            to_come.insert(p);

    const Shown rest = r.runs(to_come.size());
    EXPECT_EQ(rest.size(), to_come.size());
    EXPECT_EQ(as_set(rest), to_come);
    // Then a whole round over what is there now.
    EXPECT_EQ(as_set(r.runs(all_of(r.listing).size())), all_of(r.listing));
}

TEST(ShuffleRound, RoundOfOneEmptySelectionAndExcludedPictures) {
    Runs one(Listing{{"C:\\A", {"only.jpg"}}});
    EXPECT_EQ(one.runs(3), Shown(3, "C:\\A\\only.jpg"));
    EXPECT_TRUE(Runs(Listing{}).runs(1).empty());
    EXPECT_TRUE(Runs(Listing{{"C:\\A", {}}}).runs(1).empty());

    Runs some(folders_of({4, 4}));
    some.excluded = [](const std::string& folder, const std::string& name) {
        return folder == "C:\\F1" || name == "IMG_1000.jpg";
    };
    EXPECT_EQ(as_set(some.runs(9)), (std::set<std::string>{"C:\\F0\\IMG_1001.jpg", "C:\\F0\\IMG_1002.jpg",
                                                           "C:\\F0\\IMG_1003.jpg"}));
    // A pick counts its place among the choices as the rotation does, past the excluded.
    ShuffleRound round;
    round.update(some.listing, some.random, some.excluded);
    for (const PicturePick& p : round.take(3, some.random))
        EXPECT_EQ(std::make_pair(p.folder, p.choice), std::make_pair(0, p.file - 1));
}

} // namespace velmaro::wallpaper
