// debian/control's Build-Depends are the packages scripts/bootstrap installs
// for building and testing, so a package added to one and not the other fails
// here by name.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using ::testing::Contains;

const std::filesystem::path kSource = KELM_SOURCE_DIR;

// The value of `field` in the first paragraph of a deb822 file, its
// continuation lines joined; comment lines are skipped.
std::string FieldValue(const std::string& control, std::string_view field) {
    std::istringstream in(control);
    std::string value;
    bool inField = false;
    for (std::string line; std::getline(in, line) && !line.empty();) {
        if (line.starts_with("#")) {
            continue;
        }
        if (line.front() == ' ' || line.front() == '\t') {
            value += inField ? line : "";
        } else {
            inField = line.starts_with(std::string(field) + ":");
            value += inField ? line.substr(field.size() + 1) : "";
        }
    }
    return value;
}

bool IsNameChar(char c) {
    return std::islower(static_cast<unsigned char>(c)) != 0 ||
           std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

// The package names of a relation field: each alternative of each relation,
// without versions, architectures, build profiles or ":any".
std::set<std::string> PackageNames(std::string_view relations) {
    std::set<std::string> names;
    bool atName = true;
    int depth = 0;  // inside "(...)", "[...]" or "<...>"
    std::string name;
    const auto flush = [&] {
        if (!name.empty()) {
            names.insert(name);
        }
        name.clear();
    };
    for (const char c : relations) {
        if (c == '(' || c == '[' || c == '<') {
            ++depth;
        } else if (c == ')' || c == ']' || c == '>') {
            --depth;
        } else if (depth == 0 && (c == ',' || c == '|')) {
            flush();
            atName = true;
        } else if (depth == 0 && atName && IsNameChar(c)) {
            name += c;
        } else if (depth == 0 && !name.empty()) {
            atName = false;  // the name ended: ":any" or a blank before a version
        }
    }
    flush();
    return names;
}

std::set<std::string> Lines(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.insert(line);
        }
    }
    return lines;
}

std::string Without(const std::set<std::string>& these, const std::set<std::string>& those) {
    std::string out;
    for (const std::string& name : these) {
        if (!those.contains(name)) {
            out += (out.empty() ? "" : ", ") + name;
        }
    }
    return out;
}

TEST(BuildDepends, AreWhatBootstrapInstallsForTheBuild) {
    test::TempDir dir;
    const test::ToolOutcome listed = test::RunTool(
        kSource / "scripts/bootstrap", std::vector<std::string>{"--list", "build"}, dir.path());
    ASSERT_EQ(listed.status, 0) << listed.err;
    const std::set<std::string> bootstrap = Lines(listed.out);

    std::set<std::string> control =
        PackageNames(FieldValue(test::ReadBytes(kSource / "debian/control"), "Build-Depends"));
    // debhelper's compatibility level, not a package bootstrap installs by
    // that name (it installs debhelper among the packaging tools).
    ASSERT_THAT(control, Contains("debhelper-compat"));
    control.erase("debhelper-compat");
    ASSERT_THAT(bootstrap, Contains("qt6-base-dev"));

    const struct {
        const std::set<std::string>& from;
        const std::set<std::string>& to;
        const char* where;
    } directions[] = {
        {bootstrap, control,
         "scripts/bootstrap builds with, but debian/control's Build-Depends "
         "lack: "},
        {control, bootstrap,
         "debian/control's Build-Depends name, but scripts/bootstrap's build "
         "packages lack: "},
    };
    for (const auto& d : directions) {
        EXPECT_EQ(Without(d.from, d.to), "") << d.where << Without(d.from, d.to);
    }
}

}  // namespace
}  // namespace kelm
