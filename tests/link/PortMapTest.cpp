// The port map: kelm.ports, and the COM numbers the system's serial devices
// get and keep from run to run.
#include "link/PortMap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "link/PortAssignment.h"
#include "support/TempDir.h"

namespace kelm {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using test::TempDir;
using test::WriteBytes;

TEST(PortMap, LinesNamePortsAndBadLinesAreIgnored) {
    const PortMap map = PortMap::Parse(
        "COM1=/dev/ttyUSB0\r\n"
        "  com3 = /dev/pts/7  \n"
        "COM0=/bad\nCOM9=/bad\nCOM10=/bad\nCOMX=/bad\nCOM4\nCOM5=\n= /bad\n"
        "# COM6=/comment\n"
        "COM7=/dev/ttyS0\0junk\n"  // the system would open /dev/ttyS0
        "\x01\xff\0garbage\n"
        "COM2=/first\nCOM2=/second"sv);
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.DevicePath(2), "/second");
    EXPECT_EQ(map.DevicePath(3), "/dev/pts/7");
    EXPECT_TRUE(map.Entry(3).fromFile);
    for (int n : {0, 4, 5, 6, 7, 8, 9, -1}) {
        EXPECT_EQ(map.DevicePath(n), "") << n;  // nothing names them
    }
}

TEST(PortMap, LoadsAFileShowingLinksResolvedAndNamesNoneWithoutOne) {
    const TempDir dir;
    WriteBytes(dir / "device", "");
    std::filesystem::create_symlink(dir / "device", dir / "link");
    WriteBytes(dir / "kelm.ports",
               "COM2=" + (dir / "link").string() + "\nCOM8=/dev/sim");  // no line end at all
    const PortMap map = PortMap::Load(dir / "kelm.ports");
    EXPECT_EQ(map.DevicePath(8), "/dev/sim");
    EXPECT_EQ(map.Entry(8).shown, "/dev/sim");  // not there: shown as written
    EXPECT_EQ(map.DevicePath(2), (dir / "link").string());
    EXPECT_EQ(map.Entry(2).shown, (dir / "device").string());

    EXPECT_EQ(PortMap::Load(dir / "missing.ports").DevicePath(8), "");
    EXPECT_EQ(PortMap::Load(dir.path()).DevicePath(1), "");  // a folder, not a file
    // A file that opens but fails to read (reading this process's memory from
    // address 0 is an I/O error) names nothing either.
    if (std::filesystem::is_regular_file("/proc/self/mem")) {
        EXPECT_EQ(PortMap::Load("/proc/self/mem").DevicePath(1), "");
    }
}

TEST(NaturalOrder, NumbersCompareByValue) {
    const std::vector<std::string> sorted = {"/dev/ttyS",   "/dev/ttyS0",    "/dev/ttyS2",
                                             "/dev/ttyS10", "/dev/ttyS010a", "/dev/ttyUSB1"};
    for (std::size_t i = 0; i + 1 < sorted.size(); ++i) {
        EXPECT_TRUE(NaturalLess(sorted[i], sorted[i + 1])) << sorted[i];
        EXPECT_FALSE(NaturalLess(sorted[i + 1], sorted[i])) << sorted[i];
    }
    EXPECT_FALSE(NaturalLess("/dev/ttyS2", "/dev/ttyS2"));
}

// The devices of one run of the program.
const SystemPort kFtdi{"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0",
                       "FT232R USB UART", true};
const SystemPort kCh340{"/dev/ttyUSB1", "/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0",
                        "USB Serial", true};
const SystemPort kAcm{"/dev/ttyACM0", "/dev/serial/by-id/usb-Arduino_Uno_75-if00", "Arduino Uno",
                      true};
const SystemPort kBuiltIn0{"/dev/ttyS0", "/dev/ttyS0", "", false};
const SystemPort kBuiltIn10{"/dev/ttyS10", "/dev/ttyS10", "", false};
const SystemPort kBuiltIn2{"/dev/ttyS2", "/dev/ttyS2", "", false};

// What each COM number opens, "" for none.
std::vector<std::string> Devices(const PortMap& map) {
    std::vector<std::string> devices;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        devices.emplace_back(map.DevicePath(n));
    }
    return devices;
}

TEST(PortAssignment, AFirstRunNumbersUsbAdaptersFirstByTheirStableNames) {
    PortMemory memory;
    const PortMap map =
        AssignPorts({}, {kBuiltIn10, kBuiltIn0, kFtdi, kBuiltIn2, kAcm, kCh340}, memory, 1);
    EXPECT_EQ(Devices(map),
              (std::vector<std::string>{kCh340.stableName, kAcm.stableName, kFtdi.stableName,
                                        "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "", ""}));
    // The list shows the node and the system's description; the by-id name is opened.
    const PortEntry& third = map.Entry(3);
    EXPECT_EQ(std::tie(third.shown, third.description, third.fromFile),
              std::make_tuple(kFtdi.device, kFtdi.description, false));
    EXPECT_EQ(memory[3], kFtdi.stableName);
    EXPECT_EQ(memory[6], "/dev/ttyS10");
    EXPECT_EQ(memory[7], "");
}

TEST(PortAssignment, ARememberedAdapterKeepsItsNumberWhileOthersComeAndGo) {
    PortMemory memory;
    // Run 1: the one adapter of a new installation is COM1.
    EXPECT_EQ(Devices(AssignPorts({}, {kFtdi}, memory, 1))[0], kFtdi.stableName);
    // Run 2: a second adapter, whose name sorts first, does not take COM1;
    // and the kernel has renumbered the first one.
    SystemPort renumbered = kFtdi;
    renumbered.device = "/dev/ttyUSB1";
    SystemPort other = kCh340;
    other.device = "/dev/ttyUSB0";
    PortMap map = AssignPorts({}, {other, renumbered}, memory, 1);
    EXPECT_EQ(Devices(map)[0], kFtdi.stableName);
    EXPECT_EQ(map.Entry(1).shown, "/dev/ttyUSB1");
    EXPECT_EQ(Devices(map)[1], kCh340.stableName);
    // Run 3: the first adapter is unplugged. COM1 waits for it (and fails to
    // open), the second stays COM2.
    map = AssignPorts({}, {other}, memory, 1);
    EXPECT_EQ(Devices(map)[0], kFtdi.stableName);
    EXPECT_EQ(map.Entry(1).description, "");
    EXPECT_EQ(Devices(map)[1], kCh340.stableName);
    // Run 4: back again, it is COM1 as before.
    EXPECT_EQ(Devices(AssignPorts({}, {kAcm, kFtdi}, memory, 1)),
              (std::vector<std::string>{kFtdi.stableName, kCh340.stableName, kAcm.stableName, "",
                                        "", "", "", ""}));
}

TEST(PortAssignment, TheFileOverridesAndItsDevicesTakeNoSecondNumber) {
    PortMemory memory;
    AssignPorts({}, {kFtdi, kBuiltIn0}, memory, 1);  // COM1 FTDI, COM2 ttyS0
    // The file gives COM1 to the simulator and names the FTDI adapter as COM5
    // by its node: the adapter is the file's, with its description.
    const PortMap named = PortMap::Parse("COM1=/dev/pts/3\nCOM5=/dev/ttyUSB0\n");
    PortMap map = AssignPorts(named, {kFtdi, kBuiltIn0, kCh340}, memory, 1);
    EXPECT_EQ(Devices(map), (std::vector<std::string>{"/dev/pts/3", "/dev/ttyS0", kCh340.stableName,
                                                      "", "/dev/ttyUSB0", "", "", ""}));
    EXPECT_TRUE(map.Entry(5).fromFile);
    EXPECT_EQ(map.Entry(5).description, "FT232R USB UART");
    EXPECT_EQ(memory[1], "");  // the adapter is the file's now
    // Without the file again, the adapter is a newcomer: the lowest free number.
    map = AssignPorts({}, {kFtdi, kBuiltIn0, kCh340}, memory, 1);
    EXPECT_EQ(Devices(map)[0], kFtdi.stableName);
    EXPECT_EQ(Devices(map)[2], kCh340.stableName);
}

TEST(PortAssignment, WhenAllNumbersAreTakenANewcomerTakesOneWhoseDeviceIsAway) {
    PortMemory memory;
    for (int n = kFirstPort; n <= kLastPort; ++n) {
        memory[n] = "/dev/serial/by-id/old-" + std::to_string(n);
    }
    // A hand-edited profile naming a device twice: the lower number keeps it,
    // so COM8 is free.
    memory[8] = memory[7];
    SystemPort present{"/dev/ttyUSB5", memory[2], "", true};
    SystemPort first{"/dev/ttyUSB6", "/dev/serial/by-id/new-a", "", true};
    SystemPort second{"/dev/ttyUSB7", "/dev/serial/by-id/new-b", "", true};
    // COM1 is the settings' port: it keeps waiting for its own adapter, and
    // the second newcomer takes COM3, the lowest whose device is away.
    const PortMap map = AssignPorts({}, {second, present, first}, memory, 1);
    EXPECT_EQ(Devices(map),
              (std::vector<std::string>{"/dev/serial/by-id/old-1", present.stableName,
                                        second.stableName, "/dev/serial/by-id/old-4",
                                        "/dev/serial/by-id/old-5", "/dev/serial/by-id/old-6",
                                        "/dev/serial/by-id/old-7", first.stableName}));
    EXPECT_EQ(memory[3], second.stableName);
    EXPECT_EQ(memory[8], first.stableName);

    // Nine present devices: the ninth gets no number.
    PortMemory full;
    std::vector<SystemPort> nine;
    for (int i = 0; i < 9; ++i) {
        nine.push_back({"/dev/ttyUSB" + std::to_string(i),
                        "/dev/serial/by-id/usb-" + std::to_string(i), "", true});
    }
    EXPECT_EQ(Devices(AssignPorts({}, nine, full, 1))[7], "/dev/serial/by-id/usb-7");
}

TEST(PortMemory, AStoredValueIsRememberedWhenItNamesADevicePath) {
    const struct {
        std::string stored;
        bool remembered;
    } cases[] = {
        {"/dev/ttyUSB0", true},
        {"/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0", true},
        {"/" + std::string(4094, 'x'), true},
        {"", false},
        {"/", false},
        {"ttyUSB0", false},
        {"COM1", false},
        {" /dev/ttyUSB0", false},
        {"/" + std::string(4095, 'x'), false},
        {"/dev/ttyUSB0\0/dev/ttyUSB1"s, false},
    };
    for (const auto& c : cases) {
        const PortMemory memory = ReadPortMemory([&](int n) { return n == 3 ? c.stored : ""; });
        EXPECT_EQ(memory[3], c.remembered ? c.stored : "") << c.stored.substr(0, 40);
        for (int n : {0, 1, 2, 4, 8}) {
            EXPECT_EQ(memory[n], "") << n;
        }
    }
}

TEST(StableNames, EachDeviceHasItsFirstLinkAndDanglingLinksAreSkipped) {
    const TempDir dir;
    WriteBytes(dir / "ttyUSB0", "");
    WriteBytes(dir / "ttyACM0", "");
    std::filesystem::create_directory(dir / "by-id");
    std::filesystem::create_symlink(dir / "ttyUSB0", dir / "by-id" / "usb-b-port0");
    std::filesystem::create_symlink(dir / "ttyUSB0", dir / "by-id" / "usb-a-port0");
    std::filesystem::create_symlink("../ttyACM0", dir / "by-id" / "usb-acm-if00");
    std::filesystem::create_symlink(dir / "gone", dir / "by-id" / "usb-gone");
    const auto names = StableNames(dir / "by-id");
    EXPECT_EQ(names, (std::map<std::string, std::string>{
                         {(dir / "ttyUSB0").string(), (dir / "by-id" / "usb-a-port0").string()},
                         {(dir / "ttyACM0").string(), (dir / "by-id" / "usb-acm-if00").string()},
                     }));
    EXPECT_TRUE(StableNames(dir / "missing").empty());
}

}  // namespace
}  // namespace kelm
