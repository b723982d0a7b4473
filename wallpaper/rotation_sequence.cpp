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

// Chooses the picked picture among its folder's choices: the one it had in the listing
// unless the folder has changed since it was listed.
void select_pick(RotationHost& host, const PictureFolder& folder, const PicturePick& pick) {
    host.select_folder(pick.folder);
    const std::string& name = folder.names[static_cast<std::size_t>(pick.file)];
    int line = pick.choice;
    if (line >= host.file_count() || host.file_name(line) != name) {
        line = -1;
        for (int i = 0; i < host.file_count() && line < 0; ++i)
            if (host.file_name(i) == name)
                line = i;
    }
    host.select_file(line);
}

// Every picture of the selected folders once in a round. An empty selection fails as the
// folder list's click does; a selection without pictures shows an empty folder's list,
// and the request reports that no file is chosen. The stored `Folder` and `File` stay
// for the plain random order.
void rotate_without_repeats(RotationHost& host) {
    const int folders = host.folder_count();
    if (folders == 0)
        host.select_folder(0);
    std::vector<PictureFolder> listing;
    listing.reserve(static_cast<std::size_t>(folders));
    for (int i = 0; i < folders; ++i)
        listing.push_back(host.list_folder(i));
    const std::vector<std::uint8_t> bytes = host.load_round();
    ShuffleRound round = ShuffleRound::parse(bytes).value_or(ShuffleRound{});
    RoundRandom random = host.round_random();
    round.update(listing, random, host.excluded_pictures());
    const std::vector<PicturePick> picks = round.take(std::max(1, host.pictures_per_run()), random);
    if (picks.empty()) {
        host.select_folder(0);
        host.select_file(-1);
    }
    for (const PicturePick& pick : picks)
        select_pick(host, listing[static_cast<std::size_t>(pick.folder)], pick);
    host.save_round(round.serialize());
    host.request_wallpaper();
}

} // namespace

void rotate_wallpaper(RotationHost& host) {
    const StoredRotation stored = host.read_stored();
    if (stored.once_per_day && !first_change_today(host))
        return;

    host.reload_folder_list();
    if (stored.random && stored.no_repeat) {
        rotate_without_repeats(host);
        return;
    }
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
