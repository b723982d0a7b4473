#include "app/quiet_rotation_win.h"

#include <windows.h>

#include "base/error.h"
#include "base/path.h"
#include "base/wildcard.h"
#include "gui/file_list_win.h"
#include "state/exclusion_list_file_win.h"
#include "state/folder_list.h"
#include "state/folder_list_file_win.h"
#include "state/program_settings_win.h"
#include "wallpaper/monitors.h"
#include "wallpaper/picture_mask_win.h"
#include "wallpaper/rotation_sequence.h"
#include "wallpaper/rotation_win.h"
#include "wallpaper/shuffle_round_win.h"
#include "wallpaper/stager_win.h"

namespace velmaro::app {

namespace {

bool is_folder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The rotation's steps on the folder list file and the folders themselves.
class WindowlessRotation : public wallpaper::RotationHost {
  public:
    explicit WindowlessRotation(const std::string& only_monitor)
        : only_monitor_(only_monitor), excluded_(state::load_exclusion_list()),
          patterns_(split_mask(wallpaper::listed_picture_mask())) {}

    wallpaper::StoredRotation read_stored() override {
        return {settings_.file(), settings_.folder(), settings_.random_for_rotation(), false,
                settings_.no_repeat()};
    }
    std::string stored_date() override { return {}; }
    void store_date(const std::string&) override {}
    std::optional<std::string> today() override { return std::nullopt; }

    void reload_folder_list() override {
        auto entries = state::load_folder_list_file(state::folder_list_file_path());
        if (!entries)
            throw Error(state::kFolderListMissingText);
        folders_ = std::move(*entries);
        if (folders_.empty())
            throw Error("The list of selected folders is empty");
    }
    int folder_count() override { return static_cast<int>(folders_.size()); }
    void select_folder(int index) override {
        if (index < 0 || index >= folder_count())
            throw ListIndexError(index);
        folder_ = folders_[static_cast<std::size_t>(index)];
        names_ = gui::list_picture_files(folder_, patterns_);
        choices_ = wallpaper::rotation_choices(
            folder_, names_, [this](const std::string& path) { return !excluded_.contains(path); });
    }
    int file_count() override { return static_cast<int>(choices_.size()); }
    void select_file(int index) override {
        const bool inside = index >= 0 && index < file_count();
        chosen_.push_back(inside ? join_path(folder_, names_[choices_[static_cast<std::size_t>(index)]])
                                 : std::string());
    }
    int pictures_per_run() override {
        monitors_ = wallpaper::per_monitor_screens();
        return monitors_.empty() || !only_monitor_.empty() ? 1 : static_cast<int>(monitors_.size());
    }

    void store_position(const wallpaper::RotationPosition& next) override {
        settings_.set_file(next.file);
        settings_.set_folder(next.folder);
    }
    void request_wallpaper() override;
    wallpaper::RandomGenerator random_generator() override { return wallpaper::clock_random_generator(); }

    // The round without repeats, shared with the unattended change.
    wallpaper::PictureFolder list_folder(int index) override {
        const std::string& path = folders_.at(static_cast<std::size_t>(index));
        return {path, gui::list_picture_files(path, patterns_)};
    }
    std::string file_name(int index) override {
        return names_.at(static_cast<std::size_t>(choices_.at(index)));
    }
    std::vector<std::uint8_t> load_round() override { return wallpaper::load_round_file(round_path_); }
    void save_round(const std::vector<std::uint8_t>& bytes) override {
        wallpaper::save_round_file(round_path_, bytes);
    }
    wallpaper::RoundRandom round_random() override { return wallpaper::system_round_random(); }
    wallpaper::ExcludedPicture excluded_pictures() override { return wallpaper::excluded_by(excluded_); }

    wallpaper::HistoryEntry wanted;

  private:
    std::string only_monitor_;
    state::ProgramSettings settings_;
    state::ExclusionList excluded_;
    std::vector<std::string> patterns_;
    std::vector<std::string> folders_;
    std::string folder_;
    std::vector<std::string> names_;
    std::vector<int> choices_;
    std::vector<wallpaper::Monitor> monitors_;
    std::vector<std::string> chosen_;
    std::string round_path_ = wallpaper::round_file_path();
};

void WindowlessRotation::request_wallpaper() {
    wanted = {settings_.display(), {}};
    for (std::size_t i = 0; i < chosen_.size(); ++i) {
        if (chosen_[i].empty())
            continue;
        std::string monitor;
        if (!monitors_.empty())
            monitor = only_monitor_.empty() ? wallpaper::monitor_key(monitors_[i]) : only_monitor_;
        wanted.pictures.push_back({monitor, chosen_[i]});
    }
    if (wanted.pictures.empty())
        throw Error(format_message(
            is_folder(folder_) ? "No picture to show in folder %s" : "Cannot find folder %s", folder_));
}

} // namespace

wallpaper::HistoryEntry choose_by_rotation(const std::string& only_monitor) {
    WindowlessRotation rotation(only_monitor);
    wallpaper::rotate_wallpaper(rotation);
    return rotation.wanted;
}

} // namespace velmaro::app
