// kelmtool ports, check and read, run as programs in a folder with a
// kelm.ports file, against the simulator on a pseudo-terminal; and kelm-sim
// itself as a program.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PtySimulator.h"
#include "link/Protocol.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using kelm::sim::Instrument;

using kelm::test::ReadBytes;
using Outcome = kelm::test::ToolOutcome;

Outcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                   const fs::path& folder) {
    return kelm::test::RunTool(program, args, folder);
}

class LinkCommands : public ::testing::Test {
protected:
    void SetUp() override {
        kelm::sim::InstrumentConfig config;
        config.noiseMv = 0;
        config.pace = false;
        simulator = std::make_unique<kelm::sim::PtySimulator>(config, kelm::sim::SampleConfig{});
        std::string error;
        ASSERT_TRUE(simulator->Start(error, folder / "meter")) << error;
        // The tool's per-user profile (the remembered COM numbers) is the test's own.
        setenv("XDG_CONFIG_HOME", (folder / "profile").c_str(), 1);
        // COM1 is the simulator; every other port is absent.
        std::ofstream ports(folder / "kelm.ports");
        ports << "COM1=" << simulator->Path() << '\n';
        for (int n = 2; n <= 8; ++n) {
            ports << "COM" << n << '=' << (folder / "absent").string() << '\n';
        }
    }
    void TearDown() override { simulator->Stop(); }
    void Configure(const std::function<void(kelm::sim::InstrumentConfig&)>& change) {
        simulator->With([&](Instrument& meter, double) { change(meter.Config()); });
    }
    Outcome Tool(const std::vector<std::string>& args) {
        return RunProgram(KELMTOOL, args, folder);
    }

    kelm::test::TempDir dir;
    const fs::path& folder = dir.path();
    std::unique_ptr<kelm::sim::PtySimulator> simulator;
};

TEST_F(LinkCommands, PortsListsPresentPortsInOrder) {
    kelm::sim::PtySimulator second({}, {});
    std::string error;
    ASSERT_TRUE(second.Start(error, folder / "second"));
    {
        std::ofstream ports(folder / "kelm.ports", std::ios::app);
        ports << "COM5=" << second.Path() << '\n';
    }
    Outcome o = Tool({"ports"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "COM1\t" + simulator->DevicePath() + "\nCOM5\t" + second.DevicePath() + "\n");

    simulator->Stop();
    second.Stop();
    o = Tool({"ports"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(Tool({"ports", "extra"}).status, 64);
}

TEST_F(LinkCommands, PortsAndCheckSayWhyAPortThatIsThereDoesNotOpen) {
    // A file named by mistake: there, but no serial port.
    const std::string file = (folder / "notes.txt").string();
    kelm::test::WriteBytes(folder / "notes.txt", "COM2");
    {
        std::ofstream ports(folder / "kelm.ports", std::ios::app);
        ports << "COM2=" << file << '\n';
    }
    const std::string why = "Устройство " + file + " не является последовательным портом.";
    Outcome o = Tool({"ports"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "COM1\t" + simulator->DevicePath() + "\n");
    EXPECT_EQ(o.err, "COM2: " + why + "\n");

    o = Tool({"check", "--port", "2"});
    EXPECT_EQ(o.out,
              "Прибор с номером 0 в COM2 не обнаружен. \r\nПодключите прибор или измените "
              "настройки.\n");
    EXPECT_EQ(o.err, why + "\n");
    // A port that opens but where nobody answers has nothing to explain.
    EXPECT_EQ(Tool({"check", "--address", "5"}).err, "");
}

TEST_F(LinkCommands, CheckPrintsTheReportAndExitsByItsOutcome) {
    Outcome o = Tool({"check"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out,
              "Прибор ЛАРМИТ ГАЛ-101-1\r\nСетевой номер 0\r\nВерсия ПО от 15.03.06, НПП ДАРЕНС\r\n"
              "Считывание параметра ЭДС в канале 1 поддерживается прибором.\n");
    EXPECT_EQ(o.err, "");

    Configure([](kelm::sim::InstrumentConfig& c) {
        c.networkNumber = 7;
        c.calibrated = false;
    });
    // Found, but the reading failed: status 3, as read gives it.
    o = Tool({"check", "--port", "1", "--address", "7", "--channel", "1", "--quantity", "ph"});
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(o.out,
              "Прибор ЛАРМИТ ГАЛ-101-1\r\nСетевой номер 7\r\nВерсия ПО от 15.03.06, НПП ДАРЕНС\r\n"
              "Считывание параметра pH в канале 1 временно не возможно.\r\nДанные не готовы.\n");
    // The options also take the --option=value form, as every other command's do.
    const Outcome joined =
        Tool({"check", "--port=1", "--address=7", "--channel=1", "--quantity=ph"});
    EXPECT_EQ(joined.status, 3);
    EXPECT_EQ(joined.out, o.out);

    // The conductivity code reaches the meter: a second channel it lacks answers 3.
    o = Tool({"check", "--address", "7", "--channel", "2", "--quantity", "conductivity"});
    EXPECT_EQ(o.status, 3);
    EXPECT_NE(o.out.find("УЭП в канале 2 не возможно."), std::string::npos) << o.out;
    const auto frames = simulator->ReceivedFrames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back()[5], 0x11);
    EXPECT_EQ(frames.back()[6], 0x40);

    // Channel 0 reads the meter's first channel: Z 16.
    o = Tool({"check", "--address", "7", "--channel", "0"});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("ЭДС в канале 0 поддерживается прибором."), std::string::npos) << o.out;
    EXPECT_EQ(simulator->ReceivedFrames().back()[5], 0x10);

    // No instrument on the port: status 3, so a script can tell.
    o = Tool({"check", "--port", "3", "--address", "7"});
    EXPECT_EQ(o.status, 3);
    EXPECT_EQ(
        o.out,
        "Прибор с номером 7 в COM3 не обнаружен. \r\nПодключите прибор или измените настройки.\n");
}

TEST_F(LinkCommands, BadOptionsAreUsageErrors) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"check", "--port", "9"},
                                                 {"check", "--port", "x"},
                                                 {"read", "--address", "256"},
                                                 {"read", "--channel", "10"},
                                                 {"read", "--quantity", "mv"},
                                                 {"read", "--port"},
                                                 {"check", "--frobnicate", "1"},
                                                 {"check", "--port", "1", "extra"},
                                                 {"read", "--address=300"},
                                                 {"read", "--port", "1", "--port", "2"}}) {
        const Outcome o = Tool(args);
        EXPECT_EQ(o.status, 64) << args[1];
        EXPECT_EQ(o.out, "");
    }
    EXPECT_TRUE(simulator->ReceivedFrames().empty());
    EXPECT_EQ(Tool({"read", "--help"}).status, 0);
}

TEST_F(LinkCommands, ReadPrintsTheValue) {
    Outcome o = Tool({"read"});
    ASSERT_EQ(o.status, 0) << o.err;
    const double emf = static_cast<float>(kelm::sim::Chemistry({}).Emf(0));
    EXPECT_EQ(std::stod(o.out), emf);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(simulator->ReceivedFrames().size(), 1u);

    // pH, then the EMF of the same channel.
    o = Tool({"read", "--quantity", "ph"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NEAR(std::stod(o.out), 1.0, 1e-3);
    const auto frames = simulator->ReceivedFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1][6], 0x30);
    EXPECT_EQ(frames[2][6], 0x10);
}

TEST_F(LinkCommands, ReadFailuresAreWordedOnStderr) {
    const auto failure = [&](const std::vector<std::string>& args) {
        const Outcome o = Tool(args);
        EXPECT_EQ(o.status, 3);
        EXPECT_EQ(o.out, "");
        return o.err;
    };
    Configure([](kelm::sim::InstrumentConfig& c) { c.errorCode = 4; });
    EXPECT_EQ(failure({"read"}), "Данные не готовы\n");
    Configure([](kelm::sim::InstrumentConfig& c) { c.errorCode = 26; });
    EXPECT_EQ(failure({"read"}), "Ошибка 1ah\n");
    Configure([](kelm::sim::InstrumentConfig& c) {
        c.errorCode = 0;
        c.fault = kelm::sim::Fault::Silent;
    });
    EXPECT_EQ(failure({"read"}), "Нет связи\n");
    // A port that does not open says why on the next line.
    EXPECT_EQ(failure({"read", "--port", "2"}),
              "Ошибка COM порта\nУстройство " + (folder / "absent").string() +
                  " не найдено: прибор или переходник отключён.\n");
    // A reply of the wrong length carries no value: a packet error.
    Configure([](kelm::sim::InstrumentConfig& c) {
        c.fault = kelm::sim::Fault::None;
        std::vector<std::uint8_t> reply = {0x00, 0x00, 0x05, 0x00, 0x10, 0x10, 0x10, 0x01};
        reply.push_back(kelm::Checksum(reply));
        c.scriptedReply = reply;
    });
    EXPECT_EQ(failure({"read"}), "Ошибка пакета\n");
}

TEST(KelmSim, HelpAndALinkedDeviceThatAnswers) {
    const kelm::test::TempDir dir;
    const fs::path& folder = dir.path();
    const Outcome help = RunProgram(KELM_SIM, {"--help"}, folder);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--fault"), std::string::npos);
    EXPECT_EQ(RunProgram(KELM_SIM, {"--address", "300"}, folder).status, 64);
    // --link never replaces a file that is not a symbolic link.
    std::ofstream(folder / "notes.txt") << "keep me";
    EXPECT_NE(RunProgram(KELM_SIM, {"--link", (folder / "notes.txt").string()}, folder).status, 0);
    EXPECT_EQ(ReadBytes(folder / "notes.txt"), "keep me");

    // Started in the background with stdin closed: it must keep answering.
    const fs::path link = folder / "meter";
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execl(KELM_SIM, KELM_SIM, "--link", link.c_str(), "--address", "9", "--model", "BRI205",
                "--uncalibrated", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string device;
    char c = 0;
    while (::read(out[0], &c, 1) == 1 && c != '\n') {
        device += c;
    }
    ASSERT_TRUE(device.starts_with("/dev/")) << device;
    EXPECT_EQ(fs::read_symlink(link), device);
    { std::ofstream(folder / "kelm.ports") << "COM4=" << link.string() << '\n'; }
    const Outcome o = RunProgram(
        KELMTOOL, {"check", "--port", "4", "--address", "9", "--quantity", "px"}, folder);
    EXPECT_EQ(o.status, 3);  // uncalibrated: the reading fails
    EXPECT_EQ(o.out,
              "Прибор ЛАРМИТ БРИ-205\r\nСетевой номер 9\r\nВерсия ПО от 15.03.06, НПП ДАРЕНС\r\n"
              "Считывание параметра pX в канале 1 временно не возможно.\r\nДанные не готовы.\n");

    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(out[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));  // the link is removed on exit
}

}  // namespace
