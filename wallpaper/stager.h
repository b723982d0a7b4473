// The stager: the one place that turns the picture or pictures, the display mode, the
// monitors and the desktop colour into the staged wallpaper file's bytes and the mode
// whose desktop values go with them. "Set as wallpaper", the rotation and a picture per
// monitor all stage through it; it needs no window, so a quiet run can use it as well.
//
// Use, in two steps as the program's request and tick take them:
//
//     wallpaper::Stager stager;
//     stager.request(path);                          // at the request: reads the file now
//     ...                                            // (or with a MonitorChange)
//     wallpaper::StagedWallpaper staged =            // at the tick
//         stager.stage(mode, primary_screen, remembered_monitor_pictures);
//
// and then write `staged.bytes`, remember `staged.remembered` and set the desktop values
// of `*staged.mode`. On Windows, apply_staged_wallpaper (stager_win.h) does that whole
// tick with the desktop as it is now; set_wallpaper_now does both steps in the stored
// display mode, for a run without a window.
//
// The staged bytes: a bitmap in its own depth (run-length encoded ones byte for byte) and
// a JPEG or a picture of the system's codecs as a 24-bit bitmap, upright; Fit and Fill
// rendered at the screen's size (see display_mode.h). With a picture per monitor, one
// bitmap of the whole desktop with each monitor's picture on its part (see monitors.h).
#pragma once

#include "imaging/picture.h"
#include "imaging/screen_fit.h"
#include "wallpaper/converter.h"
#include "wallpaper/display_mode.h"
#include "wallpaper/monitors.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmaro::wallpaper {

// A change that gives each monitor its own picture: the monitors at the request (in
// in_monitor_order) and the pictures chosen for some of them, by monitor_key; the
// others keep the pictures remembered for them.
struct MonitorChange {
    std::vector<Monitor> monitors;
    std::map<std::string, std::string> chosen;
};

struct StagedWallpaper {
    std::vector<std::uint8_t> bytes;   // the staged file
    const DisplayMode* mode = nullptr; // whose desktop values show it
    // With a picture per monitor: the pictures to remember from now on, by monitor key.
    std::optional<std::map<std::string, std::string>> remembered;
};

class Stager {
  public:
    // At the request: `picture` is read now, so that a file that cannot be read is
    // reported at once (FileError "Cannot open file %s", InvalidGraphic "Cannot read
    // picture %s"); a later request replaces an earlier one only once its file has been
    // read. With `per_monitor`, the tick stages each monitor's own picture and `picture`
    // (the one just chosen) is only checked.
    void request(const std::string& picture, std::optional<MonitorChange> per_monitor = std::nullopt);

    // At the tick: the staged wallpaper in `mode` for a primary screen of `primary`'s size
    // and colour.
    // One picture: a bitmap or a picture of the system's codecs that `shown` (the
    // preview, at the tick) holds is staged from there, as it is shown; any other from
    // the request's file. Without a preview (null) the request's file is read here as the
    // preview would read it, its transparency laid over `primary.background`.
    // Fit and Fill on a desktop of two or more `monitors` (in_monitor_order): one bitmap
    // of the whole desktop with the one picture rendered at each monitor's own size on
    // its part, tiled as a picture per monitor is; on one monitor, as above.
    // A picture per monitor: each laid out at its monitor's size with `primary.background`
    // around; `remembered` gives the pictures of the monitors that none was chosen for. A
    // chosen picture that cannot be decoded throws; a remembered one leaves its monitor
    // plain and is forgotten (it is not among the pictures to remember).
    StagedWallpaper stage(const DisplayMode& mode, const imaging::Screen& primary,
                          const std::map<std::string, std::string>& remembered = {},
                          const imaging::Picture* shown = nullptr,
                          const std::vector<Monitor>& monitors = {}) const;

    // Whether the latest request gives each monitor its own picture.
    bool per_monitor() const { return per_monitor_.has_value(); }

  private:
    std::vector<std::uint8_t> one_picture(const DisplayMode& mode, const imaging::Screen& primary,
                                          const imaging::Picture* shown) const;
    StagedWallpaper one_picture_on_each(const DisplayMode& mode, std::uint32_t background,
                                        const std::vector<Monitor>& monitors,
                                        const imaging::Picture* shown) const;
    StagedWallpaper monitor_pictures(const DisplayMode& mode, std::uint32_t background,
                                     const std::map<std::string, std::string>& remembered) const;

    ImageConverter converter_;
    int id_ = 0;
    std::string path_;
    std::optional<MonitorChange> per_monitor_;
};

} // namespace velmaro::wallpaper
