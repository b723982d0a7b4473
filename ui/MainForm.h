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
#include "gui/accessible_win.h"
#include "gui/controls_win.h"
#include "gui/file_list_win.h"
#include "gui/folder_tree_win.h"
#include "gui/form_win.h"
#include "gui/picture_box_win.h"
#include "gui/timer_win.h"
#include "wallpaper/stager.h"

namespace velmaro::ui {

class TODialog;
class TAboutDialog;

class TFormMain : public gui::Form {
  public:
    explicit TFormMain(gui::Application& app);

    // The dialogs are created after the main window, which shows them.
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
    void M_A_UnselectClick(gui::Object* sender);
    void M_A_IncludeClick(gui::Object* sender);
    // Delete in the selected-folder list unselects its folder, Enter in the tree selects
    // the tree's folder; then the form's own keys.
    bool pre_translate(MSG& msg) override;
    void M_A_ExitClick(gui::Object* sender);
    void M_H_OptionsClick(gui::Object* sender);
    void M_H_ContentsClick(gui::Object* sender);
    void M_H_AboutClick(gui::Object* sender);
    void TimerTimer(gui::Object* sender);

    // Changes the wallpaper to the next picture of the selected folders.
    void RotateWallpaper();
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
    controls::TSelButton SetSB;
    controls::TSelButton ZatvoriSB;
    wallpaper::Stager ImagN; // the hidden image component: stages the requested wallpaper
    gui::Timer Timer;

  protected:
    void on_create() override { FormCreate(); }
    void on_close(gui::CloseAction& action) override;

  private:
    class RotationSteps;
    // Reads the selected picture and starts the tick; with a change, each monitor its own.
    void request_wallpaper(std::optional<wallpaper::MonitorChange> change);
    // The same for a picture chosen elsewhere than in the file list (the rotation's).
    void request_picture(const std::string& picture, std::optional<wallpaper::MonitorChange> change);
    void build_menu();
    void setup_hover_button(controls::TSelButton& b, const char* name, const std::string& caption,
                            const std::string& hint, controls::TAlignment alignment, bool bold,
                            const char* font_name, TColor over_caption, gui::TNotifyEvent on_click);
    void LoadFolderList();
    void SaveFolderList();
    // Whether the close may write over a list file that could not be read at start: only
    // when the list was changed since and the user agrees.
    bool may_replace_unreadable_list() const;
    // Names, roles and actions for screen readers; redrawing when high contrast changes.
    void setup_access();
    // The preview's size, its description for screen readers, may have changed.
    void preview_changed();
    void update_size_labels();
    // The file list's mask for the stored "MoreTypes" option.
    void apply_file_mask();

    TAboutDialog* about_ = nullptr;
    TODialog* options_ = nullptr;
    std::vector<std::unique_ptr<gui::AccessibleWindow>> access_;
    gui::AccessibleWindow* preview_access_ = nullptr;
    std::string selected_image_path_;
    std::string folder_list_path_;
    bool folder_list_whole_ = true;
    bool folder_list_unreadable_ = false;
    std::vector<std::string> list_at_load_;
    std::string requested_path_; // the picture of the pending request
    std::string staged_path_;
};

} // namespace velmaro::ui
