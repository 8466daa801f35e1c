// The fonts a test sees are those of tests/support/fonts.conf, which ctest names in
// FONTCONFIG_FILE: a font or a font setting of the developer's own cannot change a width, a cut
// text or a window's size in a test.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Harness.h"
#include "TestFiles.h"

namespace {

TEST(MachineFonts, ADevelopersOwnFontSettingDoesNotReachTheTests) {
    ASSERT_NE(std::getenv("FONTCONFIG_FILE"), nullptr) << "run the tests through ctest";
    if (!support::HasProgram("fc-match")) {
        GTEST_SKIP() << "fc-match is not installed";
    }
    // The developer prefers DejaVu Serif for every sans-serif text.
    const TempDir home;
    std::filesystem::create_directories(home.File("fontconfig"));
    WriteFile(home.File("fontconfig/fonts.conf"),
              "<?xml version=\"1.0\"?><!DOCTYPE fontconfig SYSTEM \"fonts.dtd\"><fontconfig>"
              "<alias binding=\"strong\"><family>sans-serif</family>"
              "<prefer><family>DejaVu Serif</family></prefer></alias></fontconfig>");
    const support::ScopedEnv config("XDG_CONFIG_HOME", home.Path());
    std::string family;
    if (std::FILE* pipe = ::popen("fc-match -f '%{family}' 'sans\\-serif' 2>/dev/null", "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            family += buffer;
        }
        ::pclose(pipe);
    }
    EXPECT_EQ(family, "DejaVu Sans");
}

}  // namespace
