// Scaling from the design to the screen. Forms and controls are described in pixels at
// 96 dots per inch; the framework turns them into device pixels with this one rule
// where it creates and places windows, sizes fonts and draws its own controls, so the
// descriptions keep their design numbers at every display scale.
#pragma once

#include <windows.h>

namespace velmaro::gui {

inline constexpr int kDesignDpi = 96;

// A design length at a DPI: value × dpi / 96, rounded to the nearest pixel.
int scale_px(int value, int dpi);

// x, y, width and height of a design rectangle, each scaled on its own (so a control's
// width is the scaled design width wherever it stands). Returns left, top, right, bottom.
RECT scale_rect(int x, int y, int w, int h, int dpi);

// The DPI of the primary screen as the process sees it.
int system_dpi();

// The DPI of the monitor a window is on (per-monitor aware), else the system's.
int window_dpi(HWND hwnd);

// AdjustWindowRectEx with the frame metrics of a DPI.
void adjust_window_rect(RECT& r, DWORD style, bool menu, DWORD ex_style, int dpi);

} // namespace velmaro::gui
