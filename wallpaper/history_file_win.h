// The history of wallpapers in %LOCALAPPDATA%\Velmaro\History.txt.
#pragma once

#include <string>

#include "wallpaper/history.h"
#include "wallpaper/stager.h"

namespace velmaro::wallpaper {

std::string history_file_path();

// The stored history; an empty one when there is no file yet.
History load_history(const std::string& path = history_file_path());

// Replaces the file atomically (see replace_file).
void save_history(const History& history, const std::string& path = history_file_path());

// What the desktop shows once a change staged by `stager` has been applied: `picture` over
// the whole desktop, or with a picture per monitor the pictures the monitors now keep.
HistoryEntry shown_after(const Stager& stager, const std::string& picture, int display_index);

// Adds a change that has just been applied.
void record_change(HistoryEntry entry);

} // namespace velmaro::wallpaper
