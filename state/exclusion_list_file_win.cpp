#include "state/exclusion_list_file_win.h"

#include <windows.h>

#include "base/code_page_win.h"
#include "base/file_write_win.h"
#include "base/module_path_win.h"
#include "base/text_file_win.h"

namespace velmaro::state {

std::string exclusion_file_path() {
    return program_file(kExclusionFileName);
}

ExclusionList load_exclusion_list(const std::string& path) {
    const auto text = read_text_file(path);
    return text ? ExclusionList::from_text(convert_code_page(*text, CP_UTF8, GetACP())) : ExclusionList();
}

void save_exclusion_list(const ExclusionList& list, const std::string& path) {
    const std::string text = convert_code_page(list.to_text(), GetACP(), CP_UTF8);
    replace_file(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

} // namespace velmaro::state
