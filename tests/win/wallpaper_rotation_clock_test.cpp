#include "wallpaper/rotation_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace velmaro::wallpaper {

namespace {

std::uint32_t utc_milliseconds_of_day() {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    return ((t.wHour * 60u + t.wMinute) * 60u + t.wSecond) * 1000u + t.wMilliseconds;
}

std::string short_date_format() {
    char buf[128] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, buf, sizeof buf);
    return buf;
}

} // namespace

TEST(RotationClock, GeneratorStateIsTheUtcTimeOfDay) {
    std::uint32_t before = utc_milliseconds_of_day();
    std::uint32_t state = clock_random_generator().state();
    std::uint32_t after = utc_milliseconds_of_day();
    if (after < before)
        GTEST_SKIP() << "midnight passed during the test";
    EXPECT_GE(state, before);
    EXPECT_LE(state, after);
}

TEST(RotationClock, TodayInTheUsersShortDateFormat) {
    const std::string saved = short_date_format();
    SYSTEMTIME now{};
    GetLocalTime(&now);

    ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, "yyyy-MM-dd"));
    std::string iso = today_short_date().value_or("(none)");
    ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, "d/M/yy"));
    std::string brief = today_short_date().value_or("(none)");
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, saved.c_str());

    char expected_iso[32], expected_brief[32];
    std::snprintf(expected_iso, sizeof expected_iso, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    std::snprintf(expected_brief, sizeof expected_brief, "%u/%u/%02u", now.wDay, now.wMonth, now.wYear % 100);
    EXPECT_EQ(iso, expected_iso);
    EXPECT_EQ(brief, expected_brief) << "a changed format gives another text on the same day";
}

} // namespace velmaro::wallpaper
