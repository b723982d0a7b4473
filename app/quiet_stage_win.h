// The wallpaper staging of the quiet runs, kept in this one place: a change made without
// any window, from the pictures wanted to the desktop showing them.
#pragma once

#include "wallpaper/history.h"

namespace velmaro::app {

// Stages and applies `wanted`: one picture for the whole desktop, or pictures for some
// monitors (the others keep what they showed). Returns what every monitor shows now, as
// the history keeps it. Throws the staging's errors; nothing is applied then.
wallpaper::HistoryEntry apply_change(const wallpaper::HistoryEntry& wanted);

} // namespace velmaro::app
