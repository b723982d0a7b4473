#include "ui/MainForm.h"

#include "base/error.h"
#include "base/module_path_win.h"
#include "base/path.h"
#include "gui/application_win.h"
#include "gui/error_report_win.h"
#include "gui/hint_win.h"
#include "gui/message_box_win.h"
#include "state/exclusion_list_file_win.h"
#include "state/folder_list.h"
#include "state/folder_list_file_win.h"
#include "state/program_settings_win.h"
#include "ui/AboutD.h"
#include "ui/OptionsD.h"
#include "wallpaper/history_file_win.h"
#include "wallpaper/monitors_win.h"
#include "wallpaper/picture_mask_win.h"
#include "wallpaper/rotation_sequence.h"
#include "wallpaper/rotation_win.h"
#include "wallpaper/shuffle_round_win.h"
#include "wallpaper/stager_win.h"
#include "wallpaper/wallpaper_win.h"

namespace velmaro::ui {

namespace {

gui::FormDesc main_form_desc() {
    gui::FormDesc d;
    d.window_class = "TFormMain";
    d.caption = "Velmaro v1.0";
    d.border = gui::BorderKind::tool_sizeable;
    d.left = 230;
    d.top = 105;
    d.width = 450;
    d.height = 459;
    d.client_size = false;
    d.font = gui::FontSpec{"MS Sans Serif", 8};
    d.maximized = true;
    return d;
}

gui::FontSpec comic() {
    return gui::FontSpec{"Comic Sans MS", 8};
}

} // namespace

TFormMain::TFormMain(gui::Application& app)
    : gui::Form(app, main_form_desc()), Uputa1(*this, 248, 0, "List of selected folders:", comic()),
      SelDirLB(*this, 248, 16, 185, 161, comic()), Bevel1(*this, 200, 184, 233, 164, gui::BevelCut::raised),
      DuzinaL(*this, 200, 352, "Width:", comic()), VisinaL(*this, 200, 368, "Height:", comic()),
      Timer(2000, false) {
    apply_file_mask();
    // The tree selects its root while it is built, which lists that folder in the file
    // list: the file list has to exist first.
    FileLB.create(*this, 8, 184, 185, 154, comic());
    FileLB.on_click = [this] { FileLBClick(this); };
    ShellTV.on_change = [this] { ShellTVChange(this); };
    ShellTV.create(*this, 8, 16, 185, 161, comic());
    // Tab order: tree, selected-folder list, file list.
    ShellTV.set_tab_order(0);
    SelDirLB.set_tab_order(1);
    FileLB.set_tab_order(2);

    SelDirLB.set_item_height(15);
    SelDirLB.OnClick = [this](gui::Object* s) { SelDirLBClick(s); };
    hints().set_window_hint(SelDirLB.hwnd(), "List of selected folders");

    Slika.create(*this, 208, 192, 217, 145);
    Slika.set_incremental_display(true);

    // The captions' leading spaces are theirs, as users have always seen them: kept.
    setup_hover_button(SelectSB, "SelectSB", "  >>", "Select folder", controls::taLeftJustify, true,
                       "Comic Sans MS", clWhite, [this](gui::Object* s) { SelectBClick(s); });
    SelectSB.set_bounds(200, 72, 41, 17);
    setup_hover_button(UnselectSB, "UnselectSB", "  <<", "Unselect folder", controls::taLeftJustify, true,
                       "Comic Sans MS", clWhite, [this](gui::Object* s) { UnSelectBClick(s); });
    UnselectSB.set_bounds(200, 104, 41, 17);
    setup_hover_button(SetSB, "SetSB", " Set as wallpaper", "Sets selected image as wallpaper",
                       controls::taCenter, false, "Arial", clWhite, [this](gui::Object* s) { SetBClick(s); });
    SetSB.set_bounds(8, 344, 185, 17);
    setup_hover_button(ZatvoriSB, "ZatvoriSB", "Close", "", controls::taCenter, false, "Arial", clBlack,
                       [this](gui::Object* s) { ZatvoriButtonClick(s); });
    ZatvoriSB.set_bounds(8, 384, 185, 17);

    Timer.OnTimer = [this](gui::Object* s) { TimerTimer(s); };
    build_menu();
    setup_access();
}

void TFormMain::setup_hover_button(controls::TSelButton& b, const char* name, const std::string& caption,
                                   const std::string& hint, controls::TAlignment alignment, bool bold,
                                   const char* font_name, TColor over_caption, gui::TNotifyEvent on_click) {
    b.set_name(name);
    b.set_parent(this);
    b.SetCaption(caption);
    b.SetColor(clBtnFace);
    b.SetColorBorder(clGray);
    b.SetColorOver(controls::kHoverGreen);
    b.SetColorDown(controls::kHoverGreen);
    b.SetBorderWidth(1);
    b.SetEnabled(true);
    b.set_show_hint(true);
    b.set_hint(hint);
    b.SetAlignment(alignment);
    gui::FontSpec f{font_name, 8};
    f.bold = bold;
    f.color = clGray;
    b.set_font(f);
    b.SetColorOverCaption(over_caption);
    b.OnClick = std::move(on_click);
}

void TFormMain::build_menu() {
    auto& actions = menu().add_popup("Ac&tions");
    actions.add("Set as wallpaper", gui::Shortcut::ctrl_key('S'),
                [this](gui::Object*) { M_A_SetClick(this); });
    actions.add("Select &directory", [this](gui::Object*) { M_A_SelectClick(this); });
    actions.add("&Unselect directory", [this](gui::Object*) { M_A_UnselectClick(this); });
    actions.add("&Include in the rotation again", [this](gui::Object* s) { M_A_IncludeClick(s); });
    actions.add_separator();
    actions.add("&Options", [this](gui::Object* s) { M_H_OptionsClick(s); });
    actions.add_separator();
    actions.add("E&xit", [this](gui::Object* s) { M_A_ExitClick(s); });
    auto& help = menu().add_popup("&Help");
    help.add("&Contents", [this](gui::Object* s) { M_H_ContentsClick(s); });
    help.add_separator();
    help.add("&About", [this](gui::Object* s) { M_H_AboutClick(s); });
    attach_menu();
}

void TFormMain::set_dialogs(TAboutDialog& about, TODialog& options) {
    about_ = &about;
    options_ = &options;
}

// --- creation and closing ---------------------------------------------------------

void TFormMain::FormCreate() {
    // The help first: a list file that cannot be read throws out of the load. The help
    // file keeps the name it always had; where there is none of that name, the
    // application shows the .chm of the same name beside it.
    app().set_help_file(program_file("Velmaro.HLP"));
    LoadFolderList();
}

void TFormMain::LoadFolderList() {
    folder_list_path_ = state::folder_list_file_path();
    std::optional<std::vector<std::string>> entries;
    try {
        entries = state::load_folder_list_file(folder_list_path_);
    } catch (const Error&) {
        // The file may well hold the user's folders (another program has it open, say):
        // it stays as it is unless the list is changed in this session.
        folder_list_unreadable_ = true;
        list_at_load_ = SelDirLB.items();
        throw;
    }
    folder_list_unreadable_ = false;
    if (!entries) {
        gui::message_box(gui::MsgKind::error, state::kFolderListMissingText, gui::mbOK);
        return;
    }
    // Until the list is shown whole, closing must not write back what part of it arrived.
    folder_list_whole_ = false;
    SelDirLB.assign(*entries);
    folder_list_whole_ = true;
    SelDirLB.set_item_index(-1);
}

void TFormMain::SaveFolderList() {
    if (!folder_list_whole_)
        return; // the file keeps the list it has
    if (folder_list_unreadable_ && !may_replace_unreadable_list())
        return;
    if (folder_list_path_.empty())
        folder_list_path_ = state::folder_list_file_path();
    state::save_folder_list_file(folder_list_path_, SelDirLB.items());
}

bool TFormMain::may_replace_unreadable_list() const {
    if (SelDirLB.items() == list_at_load_)
        return false;
    return gui::message_box(gui::MsgKind::confirmation, state::kReplaceUnreadableListText, gui::mbYesNo) ==
           gui::idYes;
}

void TFormMain::on_close(gui::CloseAction&) {
    // A failed save throws: the close is abandoned and the window stays open with its list.
    SaveFolderList();
}

// --- folders and files ----------------------------------------------------------------

void TFormMain::ShellTVChange(gui::Object*) {
    FileLB.show_folder(ShellTV.selected_path());
    Slika.clear();
}

void TFormMain::SelDirLBClick(gui::Object*) {
    int index = SelDirLB.item_index();
    std::string folder = SelDirLB.item(index); // throws "List index out of bounds (-1)"
    FileLB.show_folder(folder);
    Slika.clear();
}

void TFormMain::FileLBClick(gui::Object*) {
    selected_image_path_ = FileLB.selected_file_path();
    try {
        Slika.load_from_file(selected_image_path_);
    } catch (const InvalidGraphic&) {
        Slika.clear();
    }
    update_size_labels();
    hints().set_window_hint(Slika.hwnd(), "Picture: " + selected_image_path_);
    preview_changed();
}

void TFormMain::M_A_IncludeClick(gui::Object*) {
    state::ExclusionList excluded = state::load_exclusion_list();
    if (excluded.remove(selected_image_path_))
        state::save_exclusion_list(excluded);
    update_size_labels();
}

// The height line also says when the rotation passes over the picture (Actions has the
// item that takes it back).
void TFormMain::update_size_labels() {
    const bool excluded =
        !selected_image_path_.empty() && state::load_exclusion_list().contains(selected_image_path_);
    VisinaL.set_caption("Height: " + std::to_string(Slika.picture().height()) +
                        (excluded ? "   Excluded from the rotation" : ""));
    // Two spaces after "Width:", as users have always seen it: kept on purpose.
    DuzinaL.set_caption("Width:  " + std::to_string(Slika.picture().width()));
}

void TFormMain::SelectBClick(gui::Object*) {
    if (FileLB.count() == 0) {
        int answer = gui::message_box(gui::MsgKind::information,
                                      "Selected folder does not contain supported image types. "
                                      "Do you still wish to add it to the list?",
                                      gui::mbYesNo);
        if (answer == gui::idNo)
            return;
    }
    std::string folder = ShellTV.selected_path();
    for (int i = 0; i < SelDirLB.count(); ++i) {
        if (SelDirLB.item(i) == folder) {
            // "allready" as users have always seen it: kept on purpose.
            gui::message_box(gui::MsgKind::error, "Folder allready selected!", gui::mbOK);
            return;
        }
    }
    SelDirLB.add(folder);
}

void TFormMain::UnSelectBClick(gui::Object*) {
    int index = SelDirLB.item_index();
    if (index < 0) {
        gui::message_box(gui::MsgKind::warning, "No folder selected!", gui::mbOK);
        return;
    }
    SelDirLB.delete_item(index);
    SelDirLB.set_item_index(-1);
    FileLB.clear();
}

// --- menu and buttons -------------------------------------------------------------------

void TFormMain::ZatvoriButtonClick(gui::Object*) {
    close();
}
void TFormMain::M_A_ExitClick(gui::Object*) {
    close();
}
void TFormMain::M_A_SetClick(gui::Object*) {
    SetBClick(this);
}
void TFormMain::M_A_SelectClick(gui::Object*) {
    SelectBClick(this);
}
void TFormMain::M_A_UnselectClick(gui::Object*) {
    UnSelectBClick(this);
}

void TFormMain::M_H_OptionsClick(gui::Object*) {
    if (options_ && app().show_modal(*options_) == gui::mrOk)
        apply_file_mask();
}

void TFormMain::apply_file_mask() {
    FileLB.set_mask(wallpaper::listed_picture_mask());
}

void TFormMain::M_H_AboutClick(gui::Object*) {
    if (about_)
        app().show_modal(*about_);
}

void TFormMain::M_H_ContentsClick(gui::Object*) {
    app().help_contents(hwnd());
}

// --- the wallpaper request and its tick -------------------------------------------------

void TFormMain::SetBClick(gui::Object*) {
    std::optional<wallpaper::MonitorChange> change;
    if (auto monitors = wallpaper::per_monitor_screens(); !monitors.empty()) {
        // The picture goes to the monitor that shows most of this window.
        change = wallpaper::MonitorChange{std::move(monitors), {}};
        change->chosen[wallpaper::window_monitor_key(hwnd())] = selected_image_path_;
    }
    request_wallpaper(std::move(change));
}

void TFormMain::request_wallpaper(std::optional<wallpaper::MonitorChange> change) {
    if (FileLB.item_index() == -1) {
        // The spaces round the text are the box's own, as users have always seen it.
        gui::message_box(gui::MsgKind::error, " No file selected! ", gui::mbOK);
        return;
    }
    request_picture(selected_image_path_, std::move(change));
}

void TFormMain::request_picture(const std::string& picture, std::optional<wallpaper::MonitorChange> change) {
    ImagN.request(picture, std::move(change));
    requested_path_ = picture;
    staged_path_ = wallpaper::staged_wallpaper_path();
    // A running timer keeps its countdown: two quick requests give one tick.
    if (!Timer.enabled())
        Timer.set_enabled(true);
}

void TFormMain::TimerTimer(gui::Object*) {
    Timer.set_enabled(false);
    try {
        // The display mode chosen in the Options list now, whether or not confirmed there;
        // the preview's picture now, as it is shown.
        const int display_index = options_ ? options_->DisplayCB.item_index() : 0;
        wallpaper::apply_staged_wallpaper(ImagN, staged_path_, wallpaper::display_mode(display_index),
                                          &Slika.picture());
        wallpaper::record_change(wallpaper::shown_after(ImagN, requested_path_, display_index));
    } catch (...) {
        gui::report_current_exception();
    }
    if (on_wallpaper_done)
        on_wallpaper_done();
}

// --- the unattended rotation ------------------------------------------------------------

// The rotation's steps on this window's own lists and handlers, as clicks would run them.
class TFormMain::RotationSteps : public wallpaper::RotationHost {
  public:
    explicit RotationSteps(TFormMain& form) : form_(form), excluded_(state::load_exclusion_list()) {}

    wallpaper::StoredRotation read_stored() override {
        return {settings_.file(), settings_.folder(), settings_.random_for_rotation(),
                settings_.once_per_day(), settings_.no_repeat()};
    }
    std::string stored_date() override { return settings_.last_change_date(); }
    void store_date(const std::string& date) override { settings_.set_last_change_date(date); }
    std::optional<std::string> today() override { return wallpaper::today_short_date(); }

    void reload_folder_list() override { form_.FormCreate(); }
    int folder_count() override { return form_.SelDirLB.count(); }
    void select_folder(int index) override {
        form_.SelDirLB.set_item_index(index);
        form_.SelDirLBClick(&form_);
        // The rotation chooses among the lines that are not excluded.
        std::vector<std::string> names;
        for (int i = 0; i < form_.FileLB.count(); ++i)
            names.push_back(form_.FileLB.item(i));
        choices_ =
            wallpaper::rotation_choices(form_.FileLB.current_folder(), names,
                                        [this](const std::string& p) { return !excluded_.contains(p); });
    }
    int file_count() override { return static_cast<int>(choices_.size()); }
    void select_file(int index) override {
        const bool inside = index >= 0 && index < file_count();
        form_.FileLB.set_item_index(inside ? choices_[static_cast<std::size_t>(index)] : -1);
        form_.FileLBClick(&form_);
        if (!monitors_.empty())
            chosen_.push_back(form_.selected_image_path_); // "" for an empty folder
    }
    int pictures_per_run() override {
        monitors_ = wallpaper::per_monitor_screens();
        return monitors_.empty() ? 1 : static_cast<int>(monitors_.size());
    }

    void store_position(const wallpaper::RotationPosition& next) override {
        settings_.set_file(next.file);
        settings_.set_folder(next.folder);
    }
    void request_wallpaper() override {
        if (monitors_.empty()) {
            form_.SetBClick(&form_);
            return;
        }
        // The pictures in the monitors' order; an empty folder's turn leaves its monitor's,
        // wherever it comes, and asks nothing. With no picture at all, nothing changes.
        wallpaper::MonitorChange change{monitors_, {}};
        for (std::size_t i = 0; i < chosen_.size() && i < monitors_.size(); ++i)
            if (!chosen_[i].empty())
                change.chosen[wallpaper::monitor_key(monitors_[i])] = chosen_[i];
        if (change.chosen.empty())
            return;
        const std::string first = change.chosen.begin()->second;
        form_.request_picture(first, std::move(change));
    }
    wallpaper::RandomGenerator random_generator() override { return wallpaper::clock_random_generator(); }

    wallpaper::PictureFolder list_folder(int index) override {
        std::string path = form_.SelDirLB.item(index);
        std::vector<std::string> names = gui::list_picture_files(path, form_.FileLB.patterns());
        return {std::move(path), std::move(names)};
    }
    std::string file_name(int index) override {
        return form_.FileLB.item(choices_.at(static_cast<std::size_t>(index)));
    }
    std::vector<std::uint8_t> load_round() override { return wallpaper::load_round_file(round_path()); }
    void save_round(const std::vector<std::uint8_t>& bytes) override {
        wallpaper::save_round_file(round_path(), bytes);
    }
    wallpaper::RoundRandom round_random() override { return wallpaper::system_round_random(); }
    wallpaper::ExcludedPicture excluded_pictures() override { return wallpaper::excluded_by(excluded_); }

  private:
    const std::string& round_path() {
        if (round_path_.empty())
            round_path_ = wallpaper::round_file_path();
        return round_path_;
    }

    TFormMain& form_;
    state::ProgramSettings settings_;
    std::string round_path_;
    state::ExclusionList excluded_;
    std::vector<int> choices_;                 // the file list's lines the rotation may choose
    std::vector<wallpaper::Monitor> monitors_; // each with its own picture; empty for one picture
    std::vector<std::string> chosen_;
};

void TFormMain::RotateWallpaper() {
    RotationSteps steps(*this);
    wallpaper::rotate_wallpaper(steps);
}

} // namespace velmaro::ui
