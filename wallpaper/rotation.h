// The unattended rotation's arithmetic, apart from the windows it drives: which folder
// and which picture a run uses, and which position it stores for the next run.
//
// Every picture gets its turn: in turn, a folder of n pictures shows 0, 1, ..., n-1 and
// then the next folder starts at 0; at random, the drawn picture is shown and the
// folder moves on when the draw is the last picture, so on average every n runs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro::wallpaper {

// Linear congruential generator whose state comes from the clock at each run.
class RandomGenerator {
  public:
    explicit RandomGenerator(std::uint32_t state) : state_(state) {}

    // The state for a UTC time of day: milliseconds since midnight.
    static std::uint32_t state_from_time(int hour, int minute, int second, int millisecond);

    // A value in 0 ... n-1 (0 when n is 0); advances the state first.
    std::uint32_t draw(std::uint32_t n);

    std::uint32_t state() const { return state_; }

  private:
    std::uint32_t state_;
};

// The folder a run uses: the stored `Folder`, or 0 when it is below 0 or past the list.
int choose_folder(int stored_folder, int folder_count);

// The picture a run shows out of `file_count`: a random draw when `random` is set, the
// stored `File` otherwise; an index below 0 or past the list becomes 0. The generator
// is used only in random mode.
int choose_file(int stored_file, int file_count, bool random, RandomGenerator& generator);

struct RotationPosition {
    int folder = 0;
    int file = 0;
};

// What the run stores as `Folder` and `File` after showing `file_index` of `folder`:
// after the folder's last picture, or for an empty folder, the next folder from its
// first picture; otherwise the next picture of the same folder. A folder index one past
// the list is wrapped by the next run's choose_folder.
RotationPosition next_position(int folder, int file_index, int file_count);

// Whether the rotation may choose a picture, given its full path (the exclusion list's
// answer); every way of choosing asks it where a folder's pictures are listed.
using PictureFilter = std::function<bool(const std::string& path)>;

// The lines of a folder's picture list (bare names in `folder`) that the rotation may
// choose, as indices into `names`, in their order. No filter allows them all.
std::vector<int> rotation_choices(std::string_view folder, const std::vector<std::string>& names,
                                  const PictureFilter& allowed);

} // namespace velmaro::wallpaper
