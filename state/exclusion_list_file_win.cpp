#include "state/exclusion_list_file_win.h"

#include "base/module_path_win.h"
#include "base/text_file_win.h"

namespace velmaro::state {

std::string exclusion_file_path() {
    return program_file(kExclusionFileName);
}

ExclusionList load_exclusion_list(const std::string& path) {
    const auto text = read_utf8_text_file(path);
    return text ? ExclusionList::from_text(*text) : ExclusionList();
}

void save_exclusion_list(const ExclusionList& list, const std::string& path) {
    replace_utf8_text_file(path, list.to_text());
}

} // namespace velmaro::state
