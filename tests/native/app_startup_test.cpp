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
    EXPECT_EQ(startup_tick(false, kFirstTickMs, false), StartupTick::Close);
    EXPECT_EQ(startup_tick(false, kFirstTickMs, true), StartupTick::Close);
}

TEST(StartupSequence, UnattendedRotatesThenClosesOnlyAfterTheWallpaper) {
    EXPECT_EQ(startup_tick(true, kFirstTickMs, false), StartupTick::ArmSecondAndRotate);
    EXPECT_EQ(startup_tick(true, kSecondTickMs, false), StartupTick::Close);
    // A rotation that took long leaves its wallpaper tick still due at the second tick.
    EXPECT_EQ(startup_tick(true, kSecondTickMs, true), StartupTick::CloseAfterWallpaper);
}

} // namespace velmaro::app
