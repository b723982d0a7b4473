#include "wallpaper/stager.h"

#include "base/error.h"
#include "imaging/bmp_write.h"

#include <utility>

namespace velmaro::wallpaper {

namespace {

// A bitmap is staged as the preview holds it, in its own depth; a picture of the system's
// codecs from the preview's pixels; nothing here for a JPEG, which the converter decodes.
std::optional<std::vector<std::uint8_t>> from_preview(const imaging::Picture& shown,
                                                      const std::optional<imaging::ScreenFit>& fit,
                                                      const imaging::Screen& primary) {
    if (const imaging::BmpImage* bmp = shown.bitmap())
        return fit ? imaging::render_screen_bmp24(bmp->to_pixels(), *fit, primary) : bmp->to_bmp_file();
    if (shown.kind() == imaging::PictureKind::Codec)
        return fit ? imaging::render_screen_bmp24(shown.pixels_for(), *fit, primary)
                   : imaging::write_bmp24(shown.pixels_for());
    return std::nullopt;
}

// The file as the preview reads it, by its name; one that it would not show (or that has
// gone since the request) is nothing, and the converter's copy of it is staged.
imaging::Picture as_preview(const std::string& path, std::uint32_t background) {
    try {
        if (imaging::picture_kind_for(path) != imaging::PictureKind::Jpeg)
            return imaging::Picture::load_file(path, background);
    } catch (const Error&) {
    }
    return {};
}

} // namespace

void Stager::request(const std::string& picture, std::optional<MonitorChange> per_monitor) {
    id_ = converter_.load(picture); // throws before anything changes
    path_ = picture;
    per_monitor_ = std::move(per_monitor);
}

StagedWallpaper Stager::stage(const DisplayMode& mode, const imaging::Screen& primary,
                              const std::map<std::string, std::string>& remembered,
                              const imaging::Picture* shown, const std::vector<Monitor>& monitors) const {
    if (per_monitor_)
        return monitor_pictures(mode, primary.background, remembered);
    if (mode.fit && monitors.size() >= 2)
        return one_picture_on_each(mode, primary.background, monitors, shown);
    return {one_picture(mode, primary, shown), &mode, std::nullopt};
}

// Rendered at one screen's size and centred, the picture would fit only the primary: a
// larger monitor would show bands, a smaller one would cut it.
StagedWallpaper Stager::one_picture_on_each(const DisplayMode& mode, std::uint32_t background,
                                            const std::vector<Monitor>& monitors,
                                            const imaging::Picture* shown) const {
    auto render = [&](std::size_t i) {
        const MonitorRect& r = monitors[i].rect;
        return bmp24_monitor_picture(one_picture(mode, {r.width, r.height, background}, shown));
    };
    return {compose_monitors(monitors, render, background), &tiled_mode(), std::nullopt};
}

std::vector<std::uint8_t> Stager::one_picture(const DisplayMode& mode, const imaging::Screen& primary,
                                              const imaging::Picture* shown) const {
    const imaging::Picture loaded = shown ? imaging::Picture{} : as_preview(path_, primary.background);
    if (auto bytes = from_preview(shown ? *shown : loaded, mode.fit, primary))
        return std::move(*bytes);
    if (mode.fit)
        return converter_.screen_bmp_bytes(id_, *mode.fit, primary);
    return converter_.bmp_bytes(id_, primary.background);
}

// One bitmap of the whole desktop with each monitor's picture on its own part, tiled by
// the system from the primary monitor's corner: the same on every Windows version.
StagedWallpaper Stager::monitor_pictures(const DisplayMode& mode, std::uint32_t background,
                                         const std::map<std::string, std::string>& remembered) const {
    const MonitorChange& change = *per_monitor_;
    std::map<std::string, std::string> kept;
    const std::vector<std::string> pictures =
        pictures_after_change(change.monitors, remembered, change.chosen, kept);
    auto render = [&](std::size_t i) -> MonitorPicture {
        if (pictures[i].empty())
            return {};
        const MonitorRect& r = change.monitors[i].rect;
        try {
            ImageConverter converter;
            const int id = converter.load(pictures[i]);
            return render_for_monitor(converter, id, mode, r.width, r.height, background);
        } catch (const Error&) {
            // A picture chosen now is reported; one remembered from before that has gone
            // since leaves its monitor plain, and is remembered no longer.
            const std::string key = monitor_key(change.monitors[i]);
            if (change.chosen.count(key))
                throw;
            kept.erase(key);
            return {};
        }
    };
    std::vector<std::uint8_t> bytes = compose_monitors(change.monitors, render, background);
    return {std::move(bytes), &tiled_mode(), std::move(kept)};
}

} // namespace velmaro::wallpaper
