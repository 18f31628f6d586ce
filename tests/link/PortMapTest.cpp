#include "link/PortMap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string_view>

namespace kelm {
namespace {

using namespace std::string_view_literals;

TEST(PortMap, UnnamedPortsAreTheSerialDevices) {
    const PortMap map;
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(map.DevicePath(8), "/dev/ttyS7");
    EXPECT_EQ(map.DevicePath(0), "");
    EXPECT_EQ(map.DevicePath(9), "");
    EXPECT_EQ(map.DevicePath(-1), "");
}

TEST(PortMap, LinesNamePortsAndBadLinesAreIgnored) {
    const PortMap map = PortMap::Parse(
        "COM1=/dev/ttyUSB0\r\n"
        "  com3 = /dev/pts/7  \n"
        "COM0=/bad\nCOM9=/bad\nCOM10=/bad\nCOMX=/bad\nCOM4\nCOM5=\n= /bad\n"
        "# COM6=/comment\n"
        "\x01\xff\0garbage\n"
        "COM2=/first\nCOM2=/second"sv);
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(map.DevicePath(2), "/second");
    EXPECT_EQ(map.DevicePath(3), "/dev/pts/7");
    EXPECT_EQ(map.DevicePath(4), "/dev/ttyS3");
    EXPECT_EQ(map.DevicePath(5), "/dev/ttyS4");
    EXPECT_EQ(map.DevicePath(6), "/dev/ttyS5");
}

TEST(PortMap, LoadsAFileAndFallsBackWithoutOne) {
    const auto dir = std::filesystem::temp_directory_path() / "kelm-portmap-test";
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / "kelm.ports", std::ios::binary);
        out << "COM8=/dev/sim";  // no line end at all
    }
    EXPECT_EQ(PortMap::Load(dir / "kelm.ports").DevicePath(8), "/dev/sim");
    EXPECT_EQ(PortMap::Load(dir / "missing.ports").DevicePath(8), "/dev/ttyS7");
    EXPECT_EQ(PortMap::Load(dir).DevicePath(1), "/dev/ttyS0");  // a folder, not a file
    // A file that opens but fails to read (reading this process's memory from
    // address 0 is an I/O error) gives the defaults too.
    if (std::filesystem::is_regular_file("/proc/self/mem")) {
        EXPECT_EQ(PortMap::Load("/proc/self/mem").DevicePath(1), "/dev/ttyS0");
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kelm
