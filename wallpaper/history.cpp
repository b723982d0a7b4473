#include "wallpaper/history.h"

#include <algorithm>
#include <charconv>

namespace velmaro::wallpaper {

namespace {

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        parts.push_back(line.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

std::optional<long long> number(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<HistoryEntry> entry_from(std::string_view line) {
    const auto parts = split(line, '\t');
    const auto display = number(parts[0]);
    if (!display || parts.size() < 3 || parts.size() % 2 == 0)
        return std::nullopt;
    HistoryEntry entry{static_cast<int>(*display), {}};
    for (std::size_t i = 1; i + 1 < parts.size(); i += 2)
        entry.pictures.push_back({std::string(parts[i]), std::string(parts[i + 1])});
    return entry;
}

} // namespace

std::string HistoryEntry::picture_on(std::string_view monitor) const {
    for (const ShownPicture& p : pictures)
        if (p.monitor.empty() || p.monitor == monitor)
            return p.path;
    return {};
}

void History::add(HistoryEntry entry) {
    if (!entries_.empty())
        entries_.resize(position_ + 1); // a new change drops what lay ahead
    entries_.push_back(std::move(entry));
    if (entries_.size() > kHistoryLimit)
        entries_.erase(entries_.begin(), entries_.end() - kHistoryLimit);
    position_ = entries_.size() - 1;
}

std::optional<HistoryEntry> History::back(const FileExists& exists) {
    return step(-1, exists);
}

std::optional<HistoryEntry> History::forward(const FileExists& exists) {
    return step(+1, exists);
}

std::optional<HistoryEntry> History::step(int direction, const FileExists& exists) {
    if (entries_.empty())
        return std::nullopt;
    for (std::size_t i = position_; direction < 0 ? i > 0 : i + 1 < entries_.size();) {
        i = direction < 0 ? i - 1 : i + 1;
        HistoryEntry kept{entries_[i].display, {}};
        for (const ShownPicture& p : entries_[i].pictures)
            if (exists(p.path))
                kept.pictures.push_back(p);
        if (!kept.pictures.empty()) {
            position_ = i;
            return kept;
        }
    }
    return std::nullopt;
}

const HistoryEntry* History::current() const {
    return entries_.empty() ? nullptr : &entries_[position_];
}

std::string History::to_text() const {
    std::string text = "position\t" + std::to_string(position_) + "\r\n";
    for (const HistoryEntry& e : entries_) {
        text += std::to_string(e.display);
        for (const ShownPicture& p : e.pictures)
            text.append("\t").append(p.monitor).append("\t").append(p.path);
        text += "\r\n";
    }
    return text;
}

History History::from_text(std::string_view text) {
    History history;
    long long position = -1;
    for (std::string_view line : split(text, '\n')) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with("position\t")) {
            position = number(line.substr(9)).value_or(-1);
        } else if (auto entry = entry_from(line)) {
            history.entries_.push_back(std::move(*entry));
        }
    }
    if (history.entries_.size() > kHistoryLimit)
        history.entries_.erase(history.entries_.begin(), history.entries_.end() - kHistoryLimit);
    const auto last = static_cast<long long>(history.entries_.size()) - 1;
    history.position_ =
        static_cast<std::size_t>(position < 0 || position > last ? std::max(last, 0LL) : position);
    return history;
}

} // namespace velmaro::wallpaper
