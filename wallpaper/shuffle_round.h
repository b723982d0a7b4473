// "None again until all are shown": one shuffled order over the pictures of every
// selected folder, each picture once per round, remembered between runs.
//
// The round is brought up to date with the folders as they are listed at each run:
// pictures added since join the part still to come at random places, pictures gone (or
// excluded, or in a folder no longer selected) drop out, a folder newly selected joins
// like added pictures. When every picture has been shown, a new order is drawn, which
// never begins with the picture that ended the last round.
//
// Remembered compactly: the folder paths once, and for each picture its folder's number
// and a 64-bit digest of its name, so 100,000 pictures take about 0.9 MB whatever their
// names. Two names of one folder with the same digest would still be told apart by their
// listing order; they only lose their place in the round.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace velmaro::wallpaper {

// One selected folder and its pictures' bare names, in the file list's order.
struct PictureFolder {
    std::string path;
    std::vector<std::string> names;
};

// A picture of the listing: the folder's index, the name's index in it, and its index
// among the folder's pictures that are not excluded (the rotation's choices).
struct PicturePick {
    int folder = 0;
    int file = 0;
    int choice = 0;
    bool operator==(const PicturePick&) const = default;
};

// Pictures the rotation never chooses (folder path, bare name); empty: none.
using ExcludedPicture = std::function<bool(const std::string& folder, const std::string& name)>;

// The shuffle's source: a 64-bit Mersenne Twister over a seed of several words (the
// program takes them from the system's cryptographic generator).
class RoundRandom {
  public:
    explicit RoundRandom(std::span<const std::uint32_t> seed);
    // A value in 0 ... n-1, every one equally likely; n > 0.
    std::uint64_t below(std::uint64_t n);

  private:
    std::mt19937_64 engine_;
};

// A picture of the round.
struct RoundEntry {
    std::uint32_t folder = 0; // index into the round's folders
    std::uint64_t digest = 0; // of the name
    std::uint32_t file = 0;   // the name's index in the listing of the last update()
    std::uint32_t choice = 0; // and among the pictures of its folder not excluded
};

class ShuffleRound {
  public:
    ShuffleRound() = default;

    // The round remembered in `bytes`; nullopt when they are not a whole round written by
    // serialize() (a damaged file: the caller starts afresh).
    static std::optional<ShuffleRound> parse(std::span<const std::uint8_t> bytes);
    std::vector<std::uint8_t> serialize() const;

    // Brings the round up to date with the listing (a folder listed twice counts once).
    void update(const std::vector<PictureFolder>& listing, RoundRandom& random,
                const ExcludedPicture& excluded = {});

    // The next `count` pictures of the listing given to the last update(), a new round
    // begun whenever this one is through; none when the round has no picture.
    std::vector<PicturePick> take(int count, RoundRandom& random);

    // Pictures in the round, and how many of them this round has shown.
    std::size_t size() const { return order_.size(); }
    std::size_t shown() const { return shown_; }

  private:
    void new_round(RoundRandom& random);

    std::vector<std::string> folders_;
    std::vector<RoundEntry> order_; // the round's order: the shown ones first, in the order shown
    std::size_t shown_ = 0;
};

// The digest by which a remembered picture is recognised (stable across runs and builds).
std::uint64_t name_digest(const std::string& name);

} // namespace velmaro::wallpaper
