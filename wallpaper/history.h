// The wallpapers shown lately, for going back and forward as a browser does: the last
// kHistoryLimit changes, each with what every monitor showed and the display mode.
//
// A change ("/s", "Set as wallpaper", the rotation) is added after the entry shown now,
// dropping the entries a step back had left ahead of it. Going back or forward moves
// along the entries without adding any, and passes over an entry none of whose pictures
// is there any more.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmaro::wallpaper {

inline constexpr std::size_t kHistoryLimit = 100;

struct ShownPicture {
    std::string monitor; // the monitor's key (monitors.h), "" for one picture on the whole desktop
    std::string path;
    bool operator==(const ShownPicture&) const = default;
};

struct HistoryEntry {
    int display = 0; // the display index of the change
    std::vector<ShownPicture> pictures;
    bool operator==(const HistoryEntry&) const = default;

    // Whether one picture covers the whole desktop.
    bool whole_desktop() const { return pictures.size() == 1 && pictures[0].monitor.empty(); }
    // The picture a monitor shows: the desktop's one picture, or that monitor's own ("" for none).
    std::string picture_on(std::string_view monitor) const;
};

using FileExists = std::function<bool(const std::string& path)>;

class History {
  public:
    void add(HistoryEntry entry);

    // The entry before (after) the one shown now that still has a picture, with its gone
    // pictures left out; it becomes the one shown. nullopt, and nothing moves, when there
    // is none.
    std::optional<HistoryEntry> back(const FileExists& exists);
    std::optional<HistoryEntry> forward(const FileExists& exists);

    // The entry shown now, or null.
    const HistoryEntry* current() const;

    const std::vector<HistoryEntry>& entries() const { return entries_; }
    std::size_t position() const { return position_; }

    // The history file's text (UTF-8): "position<TAB>n", then one line per entry, oldest
    // first: the display index, then a key and a path for each picture, all separated by
    // tabs (which no path or key holds). Lines end in CR LF.
    std::string to_text() const;
    // Reads what to_text() writes; lines it cannot read are left out, a position past the
    // entries is taken as the last one.
    static History from_text(std::string_view text);

  private:
    std::optional<HistoryEntry> step(int direction, const FileExists& exists);

    std::vector<HistoryEntry> entries_;
    std::size_t position_ = 0; // index of the entry shown now (meaningless when there is none)
};

} // namespace velmaro::wallpaper
