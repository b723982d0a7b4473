#include "wallpaper/rotation_win.h"

#include <windows.h>

namespace velmaro::wallpaper {

RandomGenerator clock_random_generator() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    return RandomGenerator(
        RandomGenerator::state_from_time(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds));
}

std::optional<std::string> today_short_date() {
    int size = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, nullptr, 0);
    if (size <= 1)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    int got = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text.data(), size);
    if (got <= 1)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(got - 1));
    return text;
}

} // namespace velmaro::wallpaper
