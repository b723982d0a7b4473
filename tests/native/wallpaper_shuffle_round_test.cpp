#include "wallpaper/shuffle_round.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>

namespace velmaro::wallpaper {

namespace {

using Listing = std::vector<PictureFolder>;
using Picture = std::pair<std::string, std::string>; // folder, name

RoundRandom seeded(std::uint32_t s) {
    const std::array<std::uint32_t, 2> seed{s, 0x5eed};
    return RoundRandom(seed);
}

Listing folders_of(std::initializer_list<int> sizes) {
    Listing listing;
    for (int n : sizes) {
        PictureFolder f{"C:\\F" + std::to_string(listing.size()), {}};
        for (int i = 0; i < n; ++i)
            f.names.push_back("IMG_" + std::to_string(1000 + i) + ".jpg");
        listing.push_back(f);
    }
    return listing;
}

// Runs as the program makes them: the round read from its bytes, brought up to date,
// `per_run` pictures taken, written back.
struct Runs {
    explicit Runs(Listing l) : listing(std::move(l)) {}

    Listing listing;
    RoundRandom random = seeded(7);
    std::vector<std::uint8_t> bytes;
    ExcludedPicture excluded;

    std::vector<Picture> run(int per_run = 1) {
        ShuffleRound round = ShuffleRound::parse(bytes).value_or(ShuffleRound{});
        round.update(listing, random, excluded);
        std::vector<Picture> shown;
        for (const PicturePick& p : round.take(per_run, random)) {
            const PictureFolder& f = listing.at(static_cast<std::size_t>(p.folder));
            shown.emplace_back(f.path, f.names.at(static_cast<std::size_t>(p.file)));
        }
        bytes = round.serialize();
        return shown;
    }
    std::vector<Picture> runs(int count, int per_run = 1) {
        std::vector<Picture> shown;
        for (int i = 0; i < count; i += per_run)
            for (const Picture& p : run(per_run))
                shown.push_back(p);
        return shown;
    }
};

std::set<Picture> as_set(const std::vector<Picture>& v) {
    return {v.begin(), v.end()};
}

std::set<Picture> all_of(const Listing& listing) {
    std::set<Picture> all;
    for (const PictureFolder& f : listing)
        for (const std::string& n : f.names)
            all.insert({f.path, n});
    return all;
}

void remove(Listing& listing, const Picture& p) {
    for (PictureFolder& f : listing)
        if (f.path == p.first)
            std::erase(f.names, p.second);
}

} // namespace

TEST(ShuffleRound, EveryPictureOncePerRoundAndNoRepeatAcrossTheSeam) {
    for (int per_run : {1, 2, 5}) { // one monitor, two, five: the monitors share the round
        Runs r(folders_of({1, 2, 7}));
        std::set<std::vector<Picture>> orders;
        Picture last;
        for (int round = 0; round < 60; ++round) {
            const std::vector<Picture> shown = r.runs(10, per_run);
            ASSERT_EQ(as_set(shown).size(), 10u) << "round " << round << ", " << per_run << " a run";
            if (round > 0) {
                ASSERT_NE(shown.front(), last) << "round " << round << " begins with the last round's end";
            }
            last = shown.back();
            orders.insert(shown);
        }
        EXPECT_GT(orders.size(), 50u) << "the rounds hardly differ";
    }
}

TEST(ShuffleRound, ChangesMidRoundKeepTheRestAndAddNewcomers) {
    Runs r(folders_of({3, 4, 5}));
    const std::set<Picture> shown = as_set(r.runs(5));
    std::set<Picture> to_come;
    for (const Picture& p : all_of(r.listing))
        if (!shown.count(p) && p.first != "C:\\F0")
            to_come.insert(p);
    // F0 unselected; deleted: a picture shown and one to come; two added to F1; G selected.
    auto outside_f0 = [](const Picture& p) { return p.first != "C:\\F0"; };
    remove(r.listing, *std::find_if(shown.begin(), shown.end(), outside_f0));
    const Picture gone = *to_come.begin();
    to_come.erase(gone);
    remove(r.listing, gone);
    r.listing.erase(r.listing.begin());
    r.listing[0].names.insert(r.listing[0].names.end(), {"new-a.jpg", "new-b.jpg"});
    r.listing.push_back({"C:\\G", {"g1.jpg", "g2.jpg"}});
    to_come.insert(
        {{"C:\\F1", "new-a.jpg"}, {"C:\\F1", "new-b.jpg"}, {"C:\\G", "g1.jpg"}, {"C:\\G", "g2.jpg"}});

    const std::vector<Picture> rest = r.runs(static_cast<int>(to_come.size()));
    EXPECT_EQ(rest.size(), to_come.size());
    EXPECT_EQ(as_set(rest), to_come);
    // Then a whole round over what is there now.
    EXPECT_EQ(as_set(r.runs(static_cast<int>(all_of(r.listing).size()))), all_of(r.listing));
}

TEST(ShuffleRound, OneEmptyExcludedAndDamaged) {
    Runs one(Listing{{"C:\\A", {"only.jpg"}}});
    EXPECT_EQ(one.runs(3), (std::vector<Picture>(3, {"C:\\A", "only.jpg"})));
    Runs none(Listing{{"C:\\A", {}}, {"C:\\B", {}}});
    EXPECT_TRUE(none.run().empty());
    Runs nothing_selected(Listing{});
    EXPECT_TRUE(nothing_selected.run().empty());

    Runs some(folders_of({4, 4}));
    some.excluded = [](const std::string& folder, const std::string& name) {
        return folder == "C:\\F1" || name == "IMG_1000.jpg";
    };
    EXPECT_EQ(as_set(some.runs(9)),
              (std::set<Picture>{
                  {"C:\\F0", "IMG_1001.jpg"}, {"C:\\F0", "IMG_1002.jpg"}, {"C:\\F0", "IMG_1003.jpg"}}));

    // Every cut of a remembered round, and a changed byte in its header, read as none.
    Runs r(folders_of({2, 3}));
    r.runs(2);
    for (std::size_t n = 0; n < r.bytes.size(); ++n)
        EXPECT_FALSE(ShuffleRound::parse(std::span(r.bytes).first(n))) << n;
    ASSERT_TRUE(ShuffleRound::parse(r.bytes));
    EXPECT_EQ(ShuffleRound::parse(r.bytes)->shown(), 2u);
    r.bytes[0] ^= 1;
    EXPECT_FALSE(ShuffleRound::parse(r.bytes));
}

TEST(ShuffleRound, AHundredThousandPicturesRememberedInUnderTwoMegabytes) {
    Listing listing;
    for (int f = 0; f < 100; ++f) {
        listing.push_back({"D:\\Photos\\Holidays and family\\" + std::to_string(2000 + f), {}});
        for (int i = 0; i < 1000; ++i)
            listing.back().names.push_back("A long name of a picture from the camera " + std::to_string(i) +
                                           ".jpg");
    }
    RoundRandom random = seeded(1);
    ShuffleRound round;
    round.update(listing, random);
    EXPECT_EQ(round.size(), 100'000u);
    EXPECT_LT(round.serialize().size(), 2'000'000u);
}

} // namespace velmaro::wallpaper
