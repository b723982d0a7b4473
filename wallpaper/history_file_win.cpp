#include "wallpaper/history_file_win.h"

#include "base/app_data_win.h"
#include "base/text_file_win.h"
#include "state/program_settings_win.h"

namespace velmaro::wallpaper {

std::string history_file_path() {
    return app_data_file("History.txt");
}

History load_history(const std::string& path) {
    const auto text = read_utf8_text_file(path);
    return text ? History::from_text(*text) : History();
}

void save_history(const History& history, const std::string& path) {
    replace_utf8_text_file(path, history.to_text());
}

HistoryEntry shown_after(const Stager& stager, const std::string& picture, int display_index) {
    HistoryEntry shown{display_index, {}};
    if (!stager.per_monitor()) {
        shown.pictures.push_back({"", picture});
        return shown;
    }
    for (const auto& [monitor, path] : state::ProgramSettings().monitor_pictures())
        shown.pictures.push_back({monitor, path});
    return shown;
}

void record_change(HistoryEntry entry) {
    const std::string path = history_file_path();
    History history = load_history(path);
    history.add(std::move(entry));
    save_history(history, path);
}

} // namespace velmaro::wallpaper
