#include "app/command_line.h"
#include "app/startup_sequence.h"

#include <gtest/gtest.h>

namespace velmaro::app {

TEST(CommandLine, SplitsAtBlanksAndRemovesQuotes) {
    using V = std::vector<std::string>;
    EXPECT_EQ(split_command_line("Velmaro.exe /s"), (V{"Velmaro.exe", "/s"}));
    EXPECT_EQ(split_command_line("\"C:\\Program Files\\Velmaro.exe\"  \"/s\"\t x"),
              (V{"C:\\Program Files\\Velmaro.exe", "/s", "x"}));
    EXPECT_EQ(split_command_line("a\"b c\"d e"), (V{"ab cd", "e"}));
    EXPECT_EQ(split_command_line("   "), V{});
    EXPECT_EQ(split_command_line("x \"\""), (V{"x", ""}));
}

TEST(CommandLine, OnlyAnExactFirstSlashSIsUnattended) {
    EXPECT_TRUE(is_unattended("Velmaro.exe /s"));
    EXPECT_TRUE(is_unattended("\"C:\\a b\\Velmaro.exe\" \"/s\""));
    EXPECT_TRUE(is_unattended("Velmaro.exe /s extra ignored"));
    EXPECT_TRUE(is_unattended("Velmaro.exe /\"s\""));
    EXPECT_FALSE(is_unattended("Velmaro.exe"));
    EXPECT_FALSE(is_unattended("Velmaro.exe /S"));
    EXPECT_FALSE(is_unattended("Velmaro.exe -s"));
    EXPECT_FALSE(is_unattended("Velmaro.exe x /s"));
    EXPECT_FALSE(is_unattended("Velmaro.exe \"/s x\""));
    EXPECT_FALSE(is_unattended("Velmaro.exe /s/"));
}

TEST(StartupSequence, InteractiveClosesAtTheFirstTick) {
    StartupSequence s;
    EXPECT_EQ(s.tick(false, kFirstTickMs, false), StartupTick::Close);
    StartupSequence pending;
    EXPECT_EQ(pending.tick(false, kFirstTickMs, true), StartupTick::Close);
    EXPECT_FALSE(pending.wallpaper_done(false)) << "an interactive wallpaper tick closes nothing";
}

TEST(StartupSequence, UnattendedRotatesThenClosesAtTheSecondTick) {
    StartupSequence s;
    EXPECT_EQ(s.tick(true, kFirstTickMs, false), StartupTick::ArmSecondAndRotate);
    s.rotation_started();
    EXPECT_FALSE(s.rotation_finished(true)) << "no close is due before the second tick";
    EXPECT_FALSE(s.wallpaper_done(false));
    EXPECT_EQ(s.tick(true, kSecondTickMs, false), StartupTick::Close);
}

TEST(StartupSequence, ALongRotationKeepsTheWindowUntilItsWallpaperIsApplied) {
    StartupSequence s;
    ASSERT_EQ(s.tick(true, kFirstTickMs, false), StartupTick::ArmSecondAndRotate);
    s.rotation_started();
    EXPECT_FALSE(s.rotation_finished(true));
    // The rotation took long: its wallpaper tick is still due at the second tick.
    EXPECT_EQ(s.tick(true, kSecondTickMs, true), StartupTick::Wait);
    EXPECT_TRUE(s.wallpaper_done(false));
    EXPECT_FALSE(s.wallpaper_done(false)) << "the close happens once";
}

TEST(StartupSequence, ABoxInsideTheRotationHoldsTheCloseUntilTheWallpaper) {
    StartupSequence s;
    ASSERT_EQ(s.tick(true, kFirstTickMs, false), StartupTick::ArmSecondAndRotate);
    s.rotation_started();
    // The second tick comes while the rotation's box waits: nothing is requested yet.
    EXPECT_EQ(s.tick(true, kSecondTickMs, false), StartupTick::Wait);
    // After OK the rotation requests the wallpaper and ends.
    EXPECT_FALSE(s.rotation_finished(true));
    EXPECT_TRUE(s.wallpaper_done(false));
}

TEST(StartupSequence, ARotationThatRequestsNothingClosesWhenItEnds) {
    StartupSequence s;
    ASSERT_EQ(s.tick(true, kFirstTickMs, false), StartupTick::ArmSecondAndRotate);
    s.rotation_started();
    EXPECT_EQ(s.tick(true, kSecondTickMs, false), StartupTick::Wait);
    // Once a day and already changed today, or an error: no wallpaper will come.
    EXPECT_TRUE(s.rotation_finished(false));
}

} // namespace velmaro::app
