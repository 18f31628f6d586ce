// What the parameters dialog stores from each control, and its port list.
#include "link/LinkParameters.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace kelm {
namespace {

TEST(LinkParameters, NetworkNumbersOutsideTheRangeBecomeZero) {
    // typed, stored
    const std::pair<const char*, int> rows[] = {
        {"7", 7},     {"255", 255}, {"0", 0},  {"300", 0},  {"256", 0},
        {"-5", 0},    {"abc", 0},   {"", 0},   {" 12", 12}, {"+9", 9},
        {"12ab", 12}, {"1.5", 1},   {"-0", 0}, {"٣", 0},    {"99999999999999999999999", 0},
    };
    for (const auto& [typed, stored] : rows) {
        LinkSettings link;
        link.networkNumber = 42;
        EXPECT_EQ(StoreNetworkNumber(link, typed), stored) << typed;
        EXPECT_EQ(link.networkNumber, stored) << typed;
    }
}

TEST(LinkParameters, ChannelsOutsideTheRangeBecomeOneAndGiveTheirCode) {
    // typed, channel, codeZ (20 before)
    const std::tuple<const char*, int, int> rows[] = {
        {"3", 3, 18},  {"1", 1, 16}, {"9", 9, 24}, {"12", 1, 16}, {"10", 1, 16},
        {"-1", 1, 16}, {"x", 0, 16}, {"0", 0, 16}, {"", 0, 16},   {"2,5", 2, 17},
    };
    for (const auto& [typed, channel, codeZ] : rows) {
        LinkSettings link;
        link.codeZ = 20;
        EXPECT_EQ(StoreChannel(link, typed), channel) << typed;
        EXPECT_EQ(std::tie(link.channel, link.codeZ), std::tie(channel, codeZ)) << typed;
    }
}

TEST(LinkParameters, TheQuantityGivesCodeR) {
    // position, quantity, codeR
    const std::tuple<int, MeasuredQuantity, int> rows[] = {
        {0, MeasuredQuantity::Emf, 16},
        {1, MeasuredQuantity::Ph, 48},
        {2, MeasuredQuantity::Px, 48},
        {3, MeasuredQuantity::Conductivity, 64},
    };
    for (const auto& [position, quantity, codeR] : rows) {
        TitrationRecord record;
        LinkSettings link;
        StoreQuantity(record, link, position);
        EXPECT_EQ(std::tie(record.quantity, link.codeR), std::tie(quantity, codeR)) << position;
    }
    TitrationRecord record;
    record.quantity = MeasuredQuantity::Px;
    LinkSettings link;
    link.codeR = 48;
    for (int nothing : {-1, 4}) {
        StoreQuantity(record, link, nothing);
        EXPECT_EQ(std::tie(record.quantity, link.codeR), std::make_tuple(MeasuredQuantity::Px, 48));
    }
}

TEST(LinkParameters, TheQuantityIsChoosableOnlyWithoutPoints) {
    TitrationRecord record;
    for (const auto& [count, choosable] :
         {std::pair{-1, true}, std::pair{0, true}, std::pair{1, false}, std::pair{255, false}}) {
        record.pointCount = count;
        EXPECT_EQ(QuantityChoosable(record), choosable) << count;
    }
}

TEST(LinkParameters, TheDescriptionHoldsWhatTheCodePageHoldsUpTo1020Characters) {
    // typed, held, replaced
    const std::tuple<std::string, std::string, std::string> rows[] = {
        {"Проба № 3, 25 °C", "Проба № 3, 25 °C", ""},
        {"Müller ₂ Müller", "M?ller ? M?ller", "ü₂"},
        {"pH 😀 7", "pH ? 7", "😀"},
        {std::string("a\0b", 3), "a?b", ""},  // a zero would end the stored text
        {"", "", ""},
    };
    for (const auto& [typed, held, replaced] : rows) {
        const FittedDescription fitted = FitDescription(typed);
        EXPECT_EQ(std::tie(fitted.text, fitted.replaced), std::tie(held, replaced)) << typed;
    }
    // Counted in characters of the code page, not in bytes of UTF-8.
    std::string cyrillic;
    for (int i = 0; i < 1100; ++i) {
        cyrillic += "ж";
    }
    const std::string fitted = FitDescription(cyrillic).text;
    EXPECT_EQ(fitted.size(), 2u * kMaxDescriptionLength);

    TitrationRecord record;
    record.description.fill('x');
    StoreDescription(record, std::string(2000, 'y'));
    EXPECT_EQ(DescriptionView(record), std::string(kMaxDescriptionLength, 'y'));
    StoreDescription(record, "\xCF\xF0\xEE\xE1\xE0");  // "Проба"
    EXPECT_EQ(DescriptionView(record), "\xCF\xF0\xEE\xE1\xE0");
}

PortMap MapOf(std::string_view text) {
    return PortMap::Parse(text);
}

PortPresenceTable Present(std::initializer_list<int> ports) {
    PortPresenceTable presence{};
    for (int n : ports) {
        presence[n] = 1;
        ++presence[0];
    }
    return presence;
}

std::vector<std::string> Texts(const PortList& list) {
    std::vector<std::string> texts;
    for (const PortListEntry& e : list.entries) {
        texts.push_back(e.text);
    }
    return texts;
}

TEST(PortList, FoundPortsInOrderAndTheSettingsPortSelected) {
    PortMap ports = MapOf("COM1=/dev/pts/1\nCOM3=/dev/pts/3\n");
    PortEntry usb{"/dev/serial/by-id/usb-FTDI", "/dev/ttyUSB0", "FT232R USB UART", false};
    ports.Set(4, usb);
    const auto never = [](std::string_view) -> PortProblem {
        ADD_FAILURE() << "a port that opened needs no reason";
        return {};
    };
    PortList list = BuildPortList(Present({1, 3, 4}), ports, 3, never);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"COM1 — /dev/pts/1", "COM3 — /dev/pts/3",
                                                     "COM4 — /dev/ttyUSB0 (FT232R USB UART)"}));
    EXPECT_EQ(list.selected, 1);

    // comPort 5 is not there: the first entry is selected, and comPort stays
    // until the user chooses; choosing COM1 sets 1.
    LinkSettings link;
    link.comPort = 5;
    list = BuildPortList(Present({1}), ports, 5, [](std::string_view) {
        return PortProblem{PortProblemKind::Gone, "gone", "отключён"};
    });
    EXPECT_EQ(Texts(list), std::vector<std::string>{"COM1 — /dev/pts/1"});
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(link.comPort, 5);
    StorePort(link, list, 0);
    EXPECT_EQ(link.comPort, 1);
    StorePort(link, list, -1);  // nothing selected
    StorePort(link, list, 1);   // past the end
    EXPECT_EQ(link.comPort, 1);
}

TEST(PortList, PortsThatAreThereButDoNotOpenAreMarked) {
    const PortMap ports = MapOf(
        "COM1=/dev/ttyUSB0\nCOM2=/dev/ttyUSB1\nCOM3=/dev/gone\nCOM5=/dev/ttyS4\nCOM6=/dev/ttyS5");
    const auto diagnose = [](std::string_view device) -> PortProblem {
        if (device == "/dev/ttyUSB1") {
            return {PortProblemKind::NoPermission, "full text", "нет доступа"};
        }
        if (device == "/dev/ttyS4") {
            return HeldProblem(device, 12, "minicom");
        }
        if (device == "/dev/ttyS5") {
            return {PortProblemKind::None, {}, {}};  // opens now: nothing to say, not listed
        }
        return {PortProblemKind::Gone, "gone", "отключён"};
    };
    const PortList list = BuildPortList(Present({1}), ports, 2, diagnose);
    EXPECT_EQ(Texts(list),
              (std::vector<std::string>{"COM1 — /dev/ttyUSB0", "COM2 — /dev/ttyUSB1 — нет доступа",
                                        "COM5 — /dev/ttyS4 — занят: minicom"}));
    EXPECT_EQ(list.selected, 1);  // a marked port can still be the one chosen
    EXPECT_EQ(list.entries[1].problem.text, "full text");
    EXPECT_TRUE(BuildPortList(Present({}), PortMap{}, 1, diagnose).entries.empty());
}

}  // namespace
}  // namespace kelm
