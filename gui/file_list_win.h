// The file list: the picture files of one folder, chosen by a mask, one bare name a line,
// in alphabetical order without regard to case.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/container_win.h"
#include "gui/widget_win.h"

namespace velmaro::gui {

class FileList : public Widget {
  public:
    static constexpr const char* kDefaultMask = "*.jpg;*.jpeg;*.bmp;";
    static constexpr int kItemHeight = 15;

    // The current folder starts as the process's working directory; nothing is listed
    // until the window exists.
    explicit FileList(std::string mask = kDefaultMask);

    // A single-selection list box with whole lines only (its height shrinks to a multiple
    // of the line height); lists the current folder. In a form or panel, with the
    // container's font unless one is given:
    void create(Container& parent, int x, int y, int w, int h,
                const std::optional<FontSpec>& font = std::nullopt);
    // In any window (`font` is not owned):
    void create(HWND parent, int x, int y, int w, int h, HFONT font, int id = 0);

    // Rules, given a full path P:
    //  1. P empty, or P equal to selected_file_path() without regard to case: nothing.
    //  2. P names the current folder (case ignored): nothing, even when the lines were
    //     removed by clear() before.
    //  3. Otherwise an existing folder P becomes the current folder (anything else - a
    //     folder that has gone away, a virtual folder's display name - leaves it as it is)
    //     and the current folder is listed anew, with no line selected. Nothing is reported.
    // Only a full path ("C:\...", "\\server\share\...") can name a folder: anything else is
    // taken as naming none, however the current folder's subfolders are called.
    void show_folder(const std::string& path);

    // Lists the current folder anew: lines replaced, no line selected.
    void refresh();
    // Takes another mask; a mask that differs from the present one lists the current
    // folder anew with it (once the window exists), the same one changes nothing.
    void set_mask(const std::string& mask);
    // Removes every line; the current folder stays.
    void clear();

    int count() const;
    // The selected line, or -1.
    int item_index() const;
    // Selects line i; an index outside the lines leaves no line selected. Raises no event.
    void set_item_index(int i);
    // Line i; ListIndexError outside the lines.
    std::string item(int i) const;

    // current_folder() + "\" (left out when the folder already ends with one) + the
    // selected line; empty with no line selected.
    std::string selected_file_path() const;
    const std::string& current_folder() const { return folder_; }
    const std::string& mask() const { return mask_; }
    // The mask's patterns, for listing another folder as this list would.
    const std::vector<std::string>& patterns() const { return patterns_; }

    // The user chose a line with the mouse or the keyboard.
    std::function<void()> on_click;

    bool on_command(WORD code) override;

  protected:
    void on_dpi_changed() override;

  private:
    void finish_create(int w, int h);
    static std::string normalized(const std::string& full_path);

    SIZE design_size_{0, 0};
    std::string mask_;
    std::vector<std::string> patterns_;
    std::string folder_;
};

// The plain files of a folder whose long names match one of the patterns (hidden and
// system files and folders left out), sorted by file_name_less: the list box's lines.
std::vector<std::string> list_picture_files(const std::string& folder,
                                            const std::vector<std::string>& patterns);

// Alphabetical order without regard to case as the system's lists show names (the user's
// locale, so "über.bmp" comes before "zebra.bmp"); names equal but for case are ordered
// by their bytes. The file list's order, and with it the rotation's.
bool file_name_less(const std::string& a, const std::string& b);

} // namespace velmaro::gui
