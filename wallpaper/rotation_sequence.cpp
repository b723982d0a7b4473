#include "wallpaper/rotation_sequence.h"

#include <algorithm>

namespace velmaro::wallpaper {

namespace {

// False when a change has already been made today. A date the system cannot give
// leaves the rule out rather than storing a date that would match for ever.
bool first_change_today(RotationHost& host) {
    const std::optional<std::string> today = host.today();
    if (!today)
        return true;
    if (host.stored_date() == *today)
        return false;
    host.store_date(*today);
    return true;
}

} // namespace

void rotate_wallpaper(RotationHost& host) {
    const StoredRotation stored = host.read_stored();
    if (stored.once_per_day && !first_change_today(host))
        return;

    host.reload_folder_list();
    const int pictures = std::max(1, host.pictures_per_run());
    // The generator is seeded once the first folder is listed, and one seed serves every
    // draw of the run.
    std::optional<RandomGenerator> generator;
    RotationPosition next{stored.folder, stored.file};
    for (int i = 0; i < pictures; ++i) {
        const int folder = choose_folder(next.folder, host.folder_count());
        host.select_folder(folder);
        if (!generator)
            generator = host.random_generator();
        const int count = host.file_count();
        const int file = choose_file(next.file, count, stored.random, *generator);
        next = next_position(folder, file, count);
        host.select_file(file);
    }
    host.store_position(next);
    host.request_wallpaper();
}

} // namespace velmaro::wallpaper
