// High contrast: whether the user asked for it (SPI_GETHIGHCONTRAST), and windows that
// draw again when the setting or the system's colours change, so that controls which
// pick their colours at drawing time follow at once.
#pragma once

#include <windows.h>

#include <optional>

namespace velmaro::gui {

// The user's setting, read anew at each call; a test may stand in for it.
bool high_contrast();
// Replaces the system's answer until called with nullopt (for tests only).
void override_high_contrast(std::optional<bool> on);

// The window and all its children are drawn again at WM_SETTINGCHANGE and
// WM_SYSCOLORCHANGE, for as long as the window lives.
void follow_system_colors(HWND top_level);

} // namespace velmaro::gui
