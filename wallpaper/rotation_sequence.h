// One unattended wallpaper change, step by step: read the stored position, keep to one
// change a day when asked, reload the selected folders, choose a folder and a picture
// in the main window's lists as clicks would, store the next position, and request the
// wallpaper. The window does the steps through RotationHost; the order is kept here.
#pragma once

#include <optional>
#include <string>

#include "wallpaper/rotation.h"
#include "wallpaper/shuffle_round.h"

namespace velmaro::wallpaper {

// The settings one run starts from.
struct StoredRotation {
    int file = 0;
    int folder = 0;
    bool random = false;
    bool once_per_day = false;
    // With `random`: every picture of all the selected folders once before any again.
    bool no_repeat = false;
};

class RotationHost {
  public:
    virtual ~RotationHost() = default;

    virtual StoredRotation read_stored() = 0;
    // The date of the last change made under the once-a-day rule, and its update.
    virtual std::string stored_date() = 0;
    virtual void store_date(const std::string& date) = 0;
    // Today's date as the user writes it, or nullopt when the system cannot tell.
    virtual std::optional<std::string> today() = 0;

    // The selected-folder list read anew from its file.
    virtual void reload_folder_list() = 0;
    virtual int folder_count() = 0;
    // Chooses the folder's line as a click would, which lists its pictures.
    virtual void select_folder(int index) = 0;
    virtual int file_count() = 0;
    // Chooses the picture's line as a click would, which previews it.
    virtual void select_file(int index) = 0;

    // How many pictures one run chooses: one for each monitor when each shows its own.
    virtual int pictures_per_run() { return 1; }

    virtual void store_position(const RotationPosition& next) = 0;
    virtual void request_wallpaper() = 0;
    virtual RandomGenerator random_generator() = 0;

    // For the round without repeats: the pictures of selected folder `index` (as the file
    // list would show them, without showing them), the name of a choice of the folder
    // selected (as select_file counts them), the remembered round (empty when there is
    // none) and its update, the shuffle's source and the pictures never to choose.
    virtual PictureFolder list_folder(int index) = 0;
    virtual std::string file_name(int index) = 0;
    virtual std::vector<std::uint8_t> load_round() = 0;
    virtual void save_round(const std::vector<std::uint8_t>& bytes) = 0;
    virtual RoundRandom round_random() = 0;
    virtual ExcludedPicture excluded_pictures() { return {}; }
};

// Runs the steps in order. Several pictures in one run are chosen as that many runs
// would choose them one after another, and the position stored is the one after the
// last. An error in a step ends the run there (the caller reports
// it): nothing after it is stored or requested.
void rotate_wallpaper(RotationHost& host);

} // namespace velmaro::wallpaper
