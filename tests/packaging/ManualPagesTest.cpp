// The manual pages name every command and option the programs have: the lists
// come from the programs' own --help, so a new option without its line in the
// manual page fails here, saying what is missing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;

const std::filesystem::path kManualPages = std::filesystem::path(KELM_SOURCE_DIR) / "man";

bool IsOptionChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-';
}

std::string Help(const char* program, const std::vector<std::string>& words) {
    test::TempDir dir;
    const test::ToolOutcome o = test::RunTool(program, words, dir.path());
    EXPECT_EQ(o.status, 0) << program << " " << words.front() << ": " << o.err;
    return o.out;
}

// The options a help text names: "-o", "--grid", each after a blank, a
// bracket, a bar, a comma or a quote, so that "acid-base" and "n - 1" are not.
std::set<std::string> OptionsIn(std::string_view help) {
    std::set<std::string> options;
    for (std::size_t i = 0; i + 1 < help.size(); ++i) {
        const bool starts =
            help[i] == '-' &&
            (i == 0 || std::string_view(" \t\n[|(,'").find(help[i - 1]) != std::string_view::npos);
        const std::size_t name = help[i + 1] == '-' ? i + 2 : i + 1;
        if (!starts || name >= help.size() ||
            std::isalpha(static_cast<unsigned char>(help[name])) == 0) {
            continue;
        }
        std::size_t end = name;
        while (end < help.size() && IsOptionChar(help[end])) {
            ++end;
        }
        options.emplace(help.substr(i, end - i));
        i = end;
    }
    return options;
}

// The command names of kelmtool's usage: the first word of each indented line
// after "Commands:", up to the blank line.
std::vector<std::string> CommandsIn(std::string_view usage) {
    std::vector<std::string> commands;
    std::size_t at = usage.find("Commands:\n");
    if (at == std::string_view::npos) {
        return commands;
    }
    at = usage.find('\n', at) + 1;
    while (at < usage.size() && usage.substr(at, 2) == "  ") {
        const std::size_t begin = usage.find_first_not_of(' ', at);
        commands.emplace_back(usage.substr(begin, usage.find(' ', begin) - begin));
        at = usage.find('\n', at) + 1;
    }
    return commands;
}

// `word` standing on its own in `text`: "--grid" is not in "--grid-size".
bool Mentions(std::string_view text, std::string_view word) {
    for (std::size_t at = text.find(word); at != std::string_view::npos;
         at = text.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        if ((at == 0 || !IsOptionChar(text[at - 1])) &&
            (end == text.size() || !IsOptionChar(text[end]))) {
            return true;
        }
    }
    return false;
}

// A manual page's source cut at its headings ("# NAME", "## process"), with
// the line breaks of each section's text as blanks.
struct Section {
    std::string title;
    bool top = false;  // a "# " heading, as against a "## " subsection
    std::string text;
};

std::vector<Section> Sections(std::string_view page) {
    std::vector<Section> sections(1);
    std::size_t at = 0;
    while (at < page.size()) {
        std::size_t end = page.find('\n', at);
        end = end == std::string_view::npos ? page.size() : end;
        const std::string_view line = page.substr(at, end - at);
        if (line.starts_with("#")) {
            const std::size_t hashes = line.find_first_not_of('#');
            sections.push_back(
                {std::string(line.substr(std::min(line.size(), hashes + 1))), hashes == 1, ""});
        } else {
            sections.back().text.append(line).push_back(' ');
        }
        at = end + 1;
    }
    for (Section& s : sections) {
        std::replace(s.text.begin(), s.text.end(), '\t', ' ');
        s.text.erase(std::unique(s.text.begin(), s.text.end(),
                                 [](char a, char b) { return a == ' ' && b == ' '; }),
                     s.text.end());
    }
    return sections;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        out += (out.empty() ? "" : "; ") + item;
    }
    return out;
}

TEST(ManualPages, NameEveryOptionOfTheirProgram) {
    const struct {
        const char* program;
        const char* page;
    } cases[] = {
        {KELM_PROGRAM, "kelm.1.scd"},
        {KELMTOOL_PATH, "kelmtool.1.scd"},
        {KELM_SIM, "kelm-sim.1.scd"},
    };
    for (const auto& c : cases) {
        const std::string page = test::ReadBytes(kManualPages / c.page);
        const std::set<std::string> options = OptionsIn(Help(c.program, {"--help"}));
        ASSERT_THAT(options, Contains("--help")) << c.program;
        std::vector<std::string> missing;
        for (const std::string& option : options) {
            if (!Mentions(page, option)) {
                missing.push_back(option);
            }
        }
        EXPECT_THAT(missing, IsEmpty()) << "man/" << c.page << " lacks " << Joined(missing);
    }
}

// Each kelmtool command has a section of its own in kelmtool(1), and each of
// its options stands in that section or in a top section that it names, such
// as "PROCESSING OPTIONS".
TEST(ManualPages, KelmtoolPageDescribesEveryCommandWithItsOptions) {
    const std::vector<Section> sections =
        Sections(test::ReadBytes(kManualPages / "kelmtool.1.scd"));
    const std::vector<std::string> commands = CommandsIn(Help(KELMTOOL_PATH, {"--help"}));
    ASSERT_THAT(commands, Contains("process"));
    std::vector<std::string> missing;
    for (const std::string& command : commands) {
        const auto own = std::find_if(sections.begin(), sections.end(), [&](const Section& s) {
            return !s.top && s.title == command;
        });
        if (own == sections.end()) {
            missing.push_back("a section \"## " + command + "\" for the command " + command);
            continue;
        }
        std::string text = own->text;
        for (const Section& s : sections) {
            if (s.top && text.find(s.title) != std::string::npos) {
                text += " " + s.text;
            }
        }
        const std::set<std::string> options = OptionsIn(Help(KELMTOOL_PATH, {command, "--help"}));
        if (command == "process") {
            ASSERT_THAT(options, Contains("--grid"));
        }
        for (const std::string& option : options) {
            if (!Mentions(text, option)) {
                missing.push_back(option + " in the section of " + command);
            }
        }
    }
    EXPECT_THAT(missing, IsEmpty()) << "man/kelmtool.1.scd lacks " << Joined(missing);
}

}  // namespace
}  // namespace kelm
