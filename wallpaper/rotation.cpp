#include "wallpaper/rotation.h"

#include "base/path.h"

namespace velmaro::wallpaper {

std::uint32_t RandomGenerator::state_from_time(int hour, int minute, int second, int millisecond) {
    auto h = static_cast<std::uint32_t>(hour);
    auto m = static_cast<std::uint32_t>(minute);
    auto s = static_cast<std::uint32_t>(second);
    auto ms = static_cast<std::uint32_t>(millisecond);
    return ((h * 60 + m) * 60 + s) * 1000 + ms;
}

std::uint32_t RandomGenerator::draw(std::uint32_t n) {
    state_ = state_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(state_) * n) >> 32);
}

int choose_folder(int stored_folder, int folder_count) {
    return (stored_folder < 0 || stored_folder >= folder_count) ? 0 : stored_folder;
}

int choose_file(int stored_file, int file_count, bool random, RandomGenerator& generator) {
    int index = stored_file;
    if (random)
        index = static_cast<int>(generator.draw(file_count > 0 ? static_cast<std::uint32_t>(file_count) : 0));
    return (index < 0 || index >= file_count) ? 0 : index;
}

RotationPosition next_position(int folder, int file_index, int file_count) {
    if (file_count <= 0 || file_index >= file_count - 1)
        return {folder + 1, 0};
    return {folder, file_index + 1};
}

std::vector<int> rotation_choices(std::string_view folder, const std::vector<std::string>& names,
                                  const PictureFilter& allowed) {
    std::vector<int> choices;
    choices.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!allowed || allowed(join_path(folder, names[i])))
            choices.push_back(static_cast<int>(i));
    return choices;
}

} // namespace velmaro::wallpaper
