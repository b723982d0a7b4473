// The history of wallpapers in %LOCALAPPDATA%\Velmaro\History.txt.
#pragma once

#include <string>

#include "wallpaper/history.h"

namespace velmaro::wallpaper {

std::string history_file_path();

// The stored history; an empty one when there is no file yet.
History load_history(const std::string& path = history_file_path());

// Replaces the file atomically (see replace_file).
void save_history(const History& history, const std::string& path = history_file_path());

// Adds a change that has just been applied.
void record_change(HistoryEntry entry);

} // namespace velmaro::wallpaper
