// A different picture on each monitor, apart from the system calls: the monitors'
// order, the name each is remembered by, which picture each shows after a change, and
// the one staged bitmap that shows them all.
//
// The staged bitmap covers the virtual screen and is tiled by the system from the
// primary monitor's top-left corner, so a monitor's picture goes where that tiling
// shows it: its offset from the primary, wrapped round the bitmap's size. Monitors left
// of or above the primary (negative coordinates) so land on their own part of the desktop.
#pragma once

#include "imaging/raster.h"
#include "wallpaper/converter.h"
#include "wallpaper/display_mode.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velmaro::wallpaper {

struct MonitorRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const MonitorRect&) const = default;
};

struct Monitor {
    std::string device; // the system's device name, such as \\.\DISPLAY1
    MonitorRect rect;   // in desktop coordinates; the primary's top-left is the origin
    bool primary = false;
};

// The order in which monitors take pictures: the primary first, then the others from
// left to right, and top to bottom where they share a left edge.
std::vector<Monitor> in_monitor_order(std::vector<Monitor> monitors);

// The name a monitor's picture is remembered by: its device name and its rectangle
// ("\\.\DISPLAY2 1280,0,1024,768"), so that a monitor moved or resized counts as new.
std::string monitor_key(const Monitor& monitor);

// The rectangle that holds every monitor (all zero for none).
MonitorRect virtual_screen(const std::vector<Monitor>& monitors);

// The pictures each monitor shows after a change, in the monitors' order, "" for none:
// a newly chosen picture (by key) where there is one, else the remembered one. `kept`
// receives what is to be remembered: the present monitors only, so that a monitor
// that has gone is forgotten.
std::vector<std::string> pictures_after_change(const std::vector<Monitor>& monitors,
                                               const std::map<std::string, std::string>& remembered,
                                               const std::map<std::string, std::string>& chosen,
                                               std::map<std::string, std::string>& kept);

// Where a point `offset` pixels from the tiling's origin shows in a bitmap `size`
// pixels long (one axis): the offset wrapped into 0 ... size-1.
int wrapped(int offset, int size);

// A monitor's picture laid out at the monitor's size: 3-channel rows (B, G, R) seen
// through `view`, which points into `storage` (a bitmap file's bytes or a raster's), so
// neither is copied on the way to the staged file. An empty view is no picture. Moving
// keeps the view valid; copying would not, so it is not allowed.
struct MonitorPicture {
    std::vector<std::uint8_t> storage;
    imaging::ConstView view;

    MonitorPicture() = default;
    MonitorPicture(MonitorPicture&&) = default;
    MonitorPicture& operator=(MonitorPicture&&) = default;
    MonitorPicture(const MonitorPicture&) = delete;
    MonitorPicture& operator=(const MonitorPicture&) = delete;
};

// A 24-bit bottom-up bitmap file (as the converter and the screen fit write it) as a
// monitor's picture, without copying its rows. Throws InvalidGraphic for another file.
MonitorPicture bmp24_monitor_picture(std::vector<std::uint8_t> file);

// The staged 24-bit bottom-up bitmap file of the virtual screen's size. `picture(i)`
// gives monitor i's picture at exactly its size, or none to leave the monitor in
// `background` (0x00RRGGBB).
std::vector<std::uint8_t> compose_monitors(const std::vector<Monitor>& monitors,
                                           const std::function<MonitorPicture(std::size_t)>& picture,
                                           std::uint32_t background);

// The picture in a converter's buffer laid out on a monitor of width x height in a
// display mode: rendered at that size where the mode renders, else laid out by the
// mode's layout as the system shows it on one screen. Throws like the converter.
MonitorPicture render_for_monitor(const ImageConverter& converter, int id, const DisplayMode& mode, int width,
                                  int height, std::uint32_t background);

} // namespace velmaro::wallpaper
