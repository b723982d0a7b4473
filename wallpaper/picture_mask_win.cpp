#include "wallpaper/picture_mask_win.h"

#include "imaging/picture.h"
#include "state/program_settings_win.h"

namespace velmaro::wallpaper {

std::string listed_picture_mask() {
    return imaging::file_list_mask(state::ProgramSettings().more_types());
}

} // namespace velmaro::wallpaper
