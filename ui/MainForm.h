// The main window: folder tree, selected-folder list, file list, preview and the
// "Set as wallpaper" request. The unattended rotation drives the same controls and
// handlers that a user's clicks reach.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/ButtonComps_win.h"
#include "gui/controls_win.h"
#include "gui/file_list_win.h"
#include "gui/folder_tree_win.h"
#include "gui/form_win.h"
#include "gui/picture_box_win.h"
#include "gui/timer_win.h"
#include "wallpaper/converter.h"
#include "wallpaper/monitors.h"

namespace velmaro::ui {

class TODialog;
class TAboutDialog;

class TFormMain : public gui::Form {
  public:
    explicit TFormMain(gui::Application& app);

    // The dialogs are created after the main window; it shows them and reads the display
    // mode from the Options dialog.
    void set_dialogs(TAboutDialog& about, TODialog& options);

    // Handlers (one per user action).
    void FormCreate();
    void ShellTVChange(gui::Object* sender);
    void SelDirLBClick(gui::Object* sender);
    void FileLBClick(gui::Object* sender);
    void SelectBClick(gui::Object* sender);
    void UnSelectBClick(gui::Object* sender);
    void SetBClick(gui::Object* sender);
    void ZatvoriButtonClick(gui::Object* sender);
    void M_A_SetClick(gui::Object* sender);
    void M_A_SelectClick(gui::Object* sender);
    void M_A_IncludeClick(gui::Object* sender);
    void M_A_ExitClick(gui::Object* sender);
    void M_H_OptionsClick(gui::Object* sender);
    void M_H_ContentsClick(gui::Object* sender);
    void M_H_AboutClick(gui::Object* sender);
    void TimerTimer(gui::Object* sender);

    // Changes the wallpaper to the next picture of the selected folders.
    void RotateWallpaper();
    // The desktop values and the system call for a staged file.
    void SetDesktopWallpaper(const std::string& path, int display_index);

    // Whether a wallpaper tick is still due.
    bool wallpaper_pending() const { return Timer.enabled(); }
    // Runs after every wallpaper tick, whether it succeeded or failed.
    std::function<void()> on_wallpaper_done;

    const std::string& selected_image_path() const { return selected_image_path_; }
    const std::string& staged_path() const { return staged_path_; }

    // Controls, named as in the window's design.
    gui::FolderTree ShellTV;
    gui::Label Uputa1;
    gui::ListBox SelDirLB;
    controls::TSelButton SelectSB;
    controls::TSelButton UnselectSB;
    gui::FileList FileLB;
    gui::Bevel Bevel1;
    gui::PictureBox Slika;
    gui::Label DuzinaL;
    gui::Label VisinaL;
    gui::Label ExcludedL; // says when the chosen picture is excluded from the rotation
    controls::TSelButton SetSB;
    controls::TSelButton ZatvoriSB;
    wallpaper::ImageConverter ImagN;
    gui::Timer Timer;

  protected:
    void on_create() override { FormCreate(); }
    void on_close(gui::CloseAction& action) override;

  private:
    class RotationSteps;
    // A change that gives each monitor its own picture: the monitors at the request and
    // the pictures chosen for them, by monitor key; the others keep theirs.
    struct MonitorRequest {
        std::vector<wallpaper::Monitor> monitors;
        std::map<std::string, std::string> chosen;
    };
    // The monitors when each is to show its own picture (the option is on and there are
    // two or more); none when one picture covers the desktop.
    std::vector<wallpaper::Monitor> per_monitor_screens() const;
    void request_wallpaper(std::optional<MonitorRequest> request);
    void stage_one_picture(int display_index);
    void stage_monitor_pictures(const MonitorRequest& request, int display_index);
    void build_menu();
    void setup_hover_button(controls::TSelButton& b, const char* name, const std::string& caption,
                            const std::string& hint, controls::TAlignment alignment, bool bold,
                            const char* font_name, TColor over_caption, gui::TNotifyEvent on_click);
    void LoadFolderList();
    void SaveFolderList();
    void update_size_labels();
    void update_exclusion_mark();
    // The file list's mask for the stored "MoreTypes" option.
    void apply_file_mask();
    // The staged wallpaper file's bytes for the tick.
    std::vector<std::uint8_t> staged_bytes(int display_index) const;

    TAboutDialog* about_ = nullptr;
    TODialog* options_ = nullptr;
    std::string selected_image_path_;
    std::string folder_list_path_;
    bool folder_list_whole_ = true;
    int buffer_id_ = 0;
    std::string requested_path_; // the picture of the pending request
    std::string staged_path_;
    std::optional<MonitorRequest> monitor_request_;
};

} // namespace velmaro::ui
