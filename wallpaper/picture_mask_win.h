// The file list's mask as the stored "MoreTypes" option asks for it: the one place that
// picks the pictures the file list offers, and through it the rotation's choice and the
// "Select folder" question.
#pragma once

#include <string>

namespace velmaro::wallpaper {

std::string listed_picture_mask();

} // namespace velmaro::wallpaper
