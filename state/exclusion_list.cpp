#include "state/exclusion_list.h"

#include <algorithm>

#include "base/wildcard.h"
#include "state/folder_list.h"

namespace velmaro::state {

ExclusionList::ExclusionList(std::vector<std::string> paths) {
    for (const std::string& p : paths)
        add(p);
}

bool ExclusionList::contains(std::string_view path) const {
    return std::any_of(paths_.begin(), paths_.end(),
                       [&](const std::string& p) { return equal_nocase(p, path); });
}

bool ExclusionList::add(std::string_view path) {
    if (path.empty() || contains(path))
        return false;
    paths_.emplace_back(path);
    return true;
}

bool ExclusionList::remove(std::string_view path) {
    const auto before = paths_.size();
    std::erase_if(paths_, [&](const std::string& p) { return equal_nocase(p, path); });
    return paths_.size() != before;
}

std::string ExclusionList::to_text() const {
    return serialize_folder_list(paths_);
}

ExclusionList ExclusionList::from_text(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) // a byte-order mark an editor left
        text.remove_prefix(3);
    return ExclusionList(parse_folder_list(text));
}

} // namespace velmaro::state
