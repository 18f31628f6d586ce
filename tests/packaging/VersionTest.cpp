// Every program prints the project's one version, and the Debian changelog and
// the AppStream release name the same one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/Version.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using test::ReadBytes;
using ::testing::HasSubstr;

const std::filesystem::path kSource = KELM_SOURCE_DIR;

// The upstream part of the version on the changelog's first line,
// "kelm (1:1.0.2-1) unstable; urgency=medium": without epoch and revision.
std::string ChangelogUpstreamVersion(const std::string& changelog) {
    const std::size_t open = changelog.find('(');
    const std::size_t close = changelog.find(')', open);
    if (open == std::string::npos || close == std::string::npos) {
        return "(no version on the first line)";
    }
    std::string version = changelog.substr(open + 1, close - open - 1);
    if (const std::size_t colon = version.find(':'); colon != std::string::npos) {
        version.erase(0, colon + 1);
    }
    if (const std::size_t dash = version.rfind('-'); dash != std::string::npos) {
        version.erase(dash);
    }
    return version;
}

// The version of the first <release>, which AppStream takes as the newest.
std::string NewestRelease(const std::string& metainfo) {
    const std::string key = "<release version=\"";
    const std::size_t at = metainfo.find(key);
    if (at == std::string::npos) {
        return "(no release)";
    }
    const std::size_t begin = at + key.size();
    return metainfo.substr(begin, metainfo.find('"', begin) - begin);
}

TEST(Version, TheChangelogAndTheAppStreamReleaseNameTheProjectVersion) {
    const struct {
        const char* file;
        std::string version;
    } cases[] = {
        {"debian/changelog", ChangelogUpstreamVersion(ReadBytes(kSource / "debian/changelog"))},
        {"packaging/io.github.kelm.kelm.metainfo.xml",
         NewestRelease(ReadBytes(kSource / "packaging/io.github.kelm.kelm.metainfo.xml"))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.version, kVersion)
            << c.file << " names another version than project(... VERSION ...) in CMakeLists.txt";
    }
}

TEST(Version, EveryProgramPrintsItWithoutADisplay) {
    const std::string version(kVersion);
    const struct {
        const char* program;
        std::vector<std::string> words;
        int status;
        std::string out;
        const char* err;
    } cases[] = {
        {KELM_PROGRAM, {"--version"}, 0, "kelm " + version + "\n", ""},
        {KELMTOOL_PATH, {"--version"}, 0, "kelmtool " + version + "\n", ""},
        {KELMTOOL_PATH, {"version"}, 0, "kelmtool " + version + "\n", ""},
        {KELM_SIM, {"--version"}, 0, "kelm-sim " + version + "\n", ""},
        {KELMTOOL_PATH, {"--version", "x"}, 64, "", "--version takes no arguments"},
        {KELMTOOL_PATH, {"version", "x"}, 64, "", "version takes no arguments"},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        // The toolkit's X11 platform with no display aborts a program that
        // starts it, so each answer must come before the toolkit does.
        std::vector<std::string> words = {
            "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM=xcb", c.program};
        words.insert(words.end(), c.words.begin(), c.words.end());
        const test::ToolOutcome o = test::RunTool("/usr/bin/env", words, dir.path());
        const std::string what = std::string(c.program) + " " + c.words.front();
        EXPECT_EQ(o.status, c.status) << what << ": " << o.err;
        EXPECT_EQ(o.out, c.out) << what;
        if (*c.err == '\0') {
            EXPECT_EQ(o.err, "") << what;
        } else {
            EXPECT_THAT(o.err, HasSubstr(c.err)) << what;
        }
    }
}

}  // namespace
}  // namespace kelm
