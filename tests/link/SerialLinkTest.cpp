// The link through the real QSerialPort code against the simulator on a
// pseudo-terminal: every result code, the time-outs, exclusive opening, the
// port search, identification and the connection check.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PtySimulator.h"
#include "core/Cp1251.h"
#include "link/ConnectionCheck.h"
#include "link/InstrumentLink.h"
#include "link/PortProblem.h"
#include "link/qt/QtSerialPort.h"
#include "support/MeterLink.h"

namespace kelm {
namespace {

// QSerialPort's notifiers want an application object on the main thread.
class QtApplication : public ::testing::Environment {
public:
    void SetUp() override { app_ = std::make_unique<QCoreApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "link_serial";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};
const auto* const kQtApplication = ::testing::AddGlobalTestEnvironment(new QtApplication);

using Bytes = std::vector<std::uint8_t>;
using sim::Fault;
using sim::Instrument;
using Clock = std::chrono::steady_clock;

constexpr int kPort = 2;

std::unique_ptr<sim::PtySimulator> StartSimulator(int address) {
    sim::InstrumentConfig config;
    config.networkNumber = address;
    config.pace = false;  // fast and free of scheduling gaps; timing tests set delays
    config.noiseMv = 0;
    auto simulator = std::make_unique<sim::PtySimulator>(config, sim::SampleConfig{});
    std::string error;
    if (!simulator->Start(error, test::FreshMeterLink())) {
        ADD_FAILURE() << error;
    }
    return simulator;
}

class SerialLink : public ::testing::Test {
protected:
    void SetUp() override {
        simulator = StartSimulator(1);
        link = std::make_unique<InstrumentLink>(
            port, PortMap::Parse("COM2=" + simulator->Path() + "\nCOM3=/dev/kelm-no-such-port"));
        link->SetPortNumber(kPort);
    }

    void Configure(const std::function<void(sim::InstrumentConfig&)>& change) {
        simulator->With([&](Instrument& meter, double) { change(meter.Config()); });
    }

    ResultCode ReadEmf() { return link->Exchange(1, 0x10, 0x10, 0x10, 0); }

    QtSerialPort port;
    std::unique_ptr<sim::PtySimulator> simulator;
    std::unique_ptr<InstrumentLink> link;
};

TEST_F(SerialLink, ReadsAMeasurementWithTheRequestOnTheWire) {
    ASSERT_EQ(ReadEmf(), result::kOk);
    EXPECT_TRUE(link->ValueValid());
    EXPECT_FALSE(link->TextValid());
    const sim::Chemistry chemistry{sim::SampleConfig{}};
    EXPECT_NEAR(link->Value(), chemistry.Emf(0), 1e-3);
    EXPECT_EQ(link->Reply().size(), 13u);
    const auto frames = simulator->ReceivedFrames();
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], (Bytes{0x00, 0x01, 0x04, 0x00, 0x10, 0x10, 0x10, 0x35}));
    EXPECT_LT(simulator->SecondsSinceRequest(), 1.0);
}

TEST_F(SerialLink, InstrumentErrorCodesComeThrough) {
    for (int code : {2, 3, 4, 255}) {
        Configure([&](sim::InstrumentConfig& c) { c.errorCode = code; });
        EXPECT_EQ(ReadEmf(), code);
        EXPECT_FALSE(link->ValueValid());
    }
    Configure([](sim::InstrumentConfig& c) {
        c.errorCode = 0;
        c.calibrated = false;
    });
    EXPECT_EQ(link->Exchange(1, 0x10, 0x10, 0x30, 0), result::kNotReady);  // pH before calibration
    EXPECT_EQ(ReadEmf(), result::kOk);
}

TEST_F(SerialLink, DamagedAndForeignRepliesArePacketErrors) {
    for (Fault fault : {Fault::BadChecksum, Fault::WrongStart, Fault::WrongAddress, Fault::WrongZ,
                        Fault::WrongR, Fault::HeaderOnly}) {
        Configure([&](sim::InstrumentConfig& c) { c.fault = fault; });
        EXPECT_EQ(ReadEmf(), result::kPacketError) << static_cast<int>(fault);
        EXPECT_FALSE(link->ValueValid());
    }
}

TEST_F(SerialLink, SilenceIsNoReply) {
    Configure([](sim::InstrumentConfig& c) { c.fault = Fault::Silent; });
    const auto start = Clock::now();
    EXPECT_EQ(ReadEmf(), result::kNoReply);
    // Bounded by the 200 ms header read (plus opening and closing).
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
}

TEST_F(SerialLink, ScriptedRepliesOfEveryShape) {
    const auto reply = [&](Bytes bytes, bool seal = true) {
        if (seal) {
            bytes.push_back(Checksum(bytes));
        }
        Configure([&](sim::InstrumentConfig& c) { c.scriptedReply = bytes; });
    };
    // Address 2 to a request for address 1, checksum right.
    reply({0x00, 0x02, 0x09, 0x00, 0x10, 0x10, 0x10, 0, 0, 0x80, 0x3F, 0});
    EXPECT_EQ(ReadEmf(), result::kPacketError);
    // Declared lengths out of range.
    reply({0x00, 0x01, 0x00, 0x04}, false);
    EXPECT_EQ(ReadEmf(), result::kPacketError);
    reply({0x00, 0x01, 0x03, 0x00, 0x10, 0x10}, true);
    EXPECT_EQ(ReadEmf(), result::kPacketError);
    // A normal reply whose command byte differs from the request's.
    reply({0x00, 0x01, 0x09, 0x00, 0x77, 0x10, 0x10, 0, 0, 0x80, 0x3F, 0});
    EXPECT_EQ(ReadEmf(), result::kOk);
    EXPECT_TRUE(link->ValueValid());
    EXPECT_EQ(link->Value(), 1.0);
    // A measurement answered with a reply that is not 13 bytes: 0 without a value.
    reply({0x00, 0x01, 0x08, 0x00, 0x10, 0x10, 0x10, 0, 0, 0x80, 0x3F});
    EXPECT_EQ(ReadEmf(), result::kOk);
    EXPECT_FALSE(link->ValueValid());
}

TEST_F(SerialLink, TextRepliesKeepCyrillicAndBlankControlBytes) {
    Configure([](sim::InstrumentConfig& c) { c.model = "AB\r\n\xC3\xC0\xCB"; });
    ASSERT_EQ(link->Exchange(1, 0x10, 0, 0, 0), result::kOk);
    EXPECT_TRUE(link->TextValid());
    EXPECT_EQ(link->Text(), "AB  \xC3\xC0\xCB");
    // Five characters make a 13-byte reply, still text for a text request.
    Configure([](sim::InstrumentConfig& c) { c.model = "ABCDE"; });
    ASSERT_EQ(link->Exchange(1, 0x10, 0, 0, 0), result::kOk);
    EXPECT_EQ(link->Reply().size(), 13u);
    EXPECT_TRUE(link->TextValid());
    EXPECT_FALSE(link->ValueValid());
    EXPECT_EQ(link->Text(), "ABCDE");
}

TEST_F(SerialLink, PortThatCannotOpenSendsNothing) {
    link->SetPortNumber(3);
    EXPECT_EQ(ReadEmf(), result::kPortNotOpened);
    link->SetPortNumber(9);
    EXPECT_EQ(ReadEmf(), result::kPortNotOpened);
    link->SetPortNumber(0);
    EXPECT_EQ(ReadEmf(), result::kPortNotOpened);
    EXPECT_TRUE(simulator->ReceivedFrames().empty());
}

TEST_F(SerialLink, ReplyWithin200MsIsReadAndLaterIsNoReply) {
    Configure([](sim::InstrumentConfig& c) { c.replyDelayMs = 150; });
    EXPECT_EQ(ReadEmf(), result::kOk);
    EXPECT_TRUE(link->ValueValid());

    Configure([](sim::InstrumentConfig& c) { c.replyDelayMs = 300; });
    EXPECT_EQ(ReadEmf(), result::kNoReply);
    // The late reply reaches the closed port; the next exchange must discard
    // it rather than take it for its own reply.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    Configure([](sim::InstrumentConfig& c) {
        c.replyDelayMs = 0;
        c.errorCode = 4;
    });
    EXPECT_EQ(ReadEmf(), result::kNotReady);
}

TEST_F(SerialLink, GapInsideTheBodyEndsTheRead) {
    // 80 ms after the eighth byte: twice the 40 ms interval.
    Configure([](sim::InstrumentConfig& c) {
        c.gapAfterBytes = 8;
        c.gapMs = 80;
    });
    EXPECT_EQ(ReadEmf(), result::kPacketError);
    // Let the rest of that reply reach the closed port before the next request.
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    // Header and body are separate reads, and the body's first byte may take
    // up to 200 ms.
    Configure([](sim::InstrumentConfig& c) { c.gapAfterBytes = 4; });
    EXPECT_EQ(ReadEmf(), result::kOk);
}

TEST_F(SerialLink, ExclusiveOpen) {
    QtSerialPort holder;
    ASSERT_TRUE(holder.Open(simulator->DevicePath()));
    EXPECT_EQ(ReadEmf(), result::kPortNotOpened);
    link->FindPorts();
    EXPECT_EQ(link->Presence()[kPort], 0);
    holder.Close();
    EXPECT_EQ(ReadEmf(), result::kOk);
}

// Two links to one device (as /dev/serial/by-id/ names and kelm.ports lines
// give them): whichever path opens it first, every other path is kept out,
// the device's own name too.
TEST_F(SerialLink, EveryPathToADeviceSharesItsLock) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("kelm-port-links-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::create_symlink(simulator->DevicePath(), dir / "meter-a");
    std::filesystem::create_symlink(dir / "meter-a", dir / "meter-b");  // a link to the link
    {
        QtSerialPort holder;
        ASSERT_TRUE(holder.Open((dir / "meter-a").string()));
        QtSerialPort other;
        EXPECT_FALSE(other.Open((dir / "meter-b").string()));
        EXPECT_FALSE(other.Open(simulator->DevicePath()));
        EXPECT_EQ(ReadEmf(), result::kPortNotOpened);
        holder.Close();
        EXPECT_TRUE(other.Open((dir / "meter-b").string()));
        other.Close();
    }
    EXPECT_EQ(ReadEmf(), result::kOk);
    std::filesystem::remove_all(dir);
}

// Something other than a lock file at the lock file's name (a FIFO anyone
// may make in the shared lock folder) refuses the port at once instead of
// keeping the open waiting for a writer that never comes.
TEST_F(SerialLink, AFifoAtTheLockFilesNameRefusesThePortAtOnce) {
    const auto locks =
        std::filesystem::temp_directory_path() / ("kelm-port-locks-" + std::to_string(::getpid()));
    std::filesystem::create_directories(locks);
    QtSerialPort port({locks.string()});
    ASSERT_TRUE(port.Open(simulator->DevicePath()));
    port.Close();

    const auto fifo = locks / LockFileNames(simulator->DevicePath()).front();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    EXPECT_FALSE(port.Open(simulator->DevicePath()));
    const PortProblem why = DiagnoseOpenFailure(simulator->DevicePath(), {locks.string()});
    EXPECT_EQ(why.kind, PortProblemKind::Held);
    EXPECT_EQ(why.text, "Порт " + simulator->DevicePath() +
                            " занят: на месте его файла блокировки " + fifo.string() +
                            " стоит не файл; удалите его.");
    std::filesystem::remove_all(locks);
    EXPECT_TRUE(port.Open(simulator->DevicePath()));
}

TEST_F(SerialLink, VanishingDeviceGivesAResultCode) {
    Configure([](sim::InstrumentConfig& c) { c.fault = Fault::Vanish; });
    const auto start = Clock::now();
    EXPECT_EQ(ReadEmf(), result::kPacketError);  // the header came, the body never
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    for (int i = 0; i < 100 && !simulator->Vanished(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ReadEmf(), result::kPortNotOpened);
}

TEST(PortSearch, FindsPresentPortsFromAPortMapFile) {
    auto first = StartSimulator(0);
    auto second = StartSimulator(0);
    const auto dir = std::filesystem::temp_directory_path() / "kelm-port-search";
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / "kelm.ports");
        out << "COM1=" << first->Path() << "\nCOM3=" << second->Path() << '\n';
        for (int n : {2, 4, 5, 6, 7, 8}) {
            out << "COM" << n << '=' << (dir / "absent").string() << '\n';
        }
    }
    QtSerialPort port;
    InstrumentLink link(port, PortMap::Load(dir / "kelm.ports"));
    EXPECT_EQ(link.FindPorts(), 2);
    EXPECT_EQ(link.Presence(), (PortPresenceTable{2, 1, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(first->ReceivedFrames().empty());  // probing writes nothing

    second->Stop();
    first->Stop();
    EXPECT_EQ(link.FindPorts(), 0);
    EXPECT_EQ(link.Presence(), PortPresenceTable{});
    std::filesystem::remove_all(dir);
}

// The network number whose reply to a text request of `text` has `checksum`
// as its last byte.
int AddressGivingChecksum(std::string_view text, std::uint8_t checksum) {
    for (int address = 0; address < 256; ++address) {
        Bytes frame = {0x00,
                       static_cast<std::uint8_t>(address),
                       static_cast<std::uint8_t>(text.size() + 4),
                       0x00,
                       0x10,
                       0x00,
                       0x00};
        frame.insert(frame.end(), text.begin(), text.end());
        if (Checksum(frame) == checksum) {
            return address;
        }
    }
    return -1;
}

struct Identity {
    std::string model;
    std::string date;
    std::string maker;
};

Identity Identify(sim::PtySimulator& simulator, int address, const sim::InstrumentConfig& texts,
                  ResultCode expected = result::kOk) {
    simulator.With([&](Instrument& meter, double) {
        meter.Config().networkNumber = address;
        meter.Config().model = texts.model;
        meter.Config().softwareDate = texts.softwareDate;
        meter.Config().maker = texts.maker;
    });
    QtSerialPort port;
    InstrumentLink link(port, PortMap::Parse("COM4=" + simulator.DevicePath()));
    EXPECT_EQ(link.Identify(4, address), expected);
    return {Cp1251ToUtf8(link.ModelName()), Cp1251ToUtf8(link.SoftwareDate()),
            Cp1251ToUtf8(link.Maker())};
}

sim::InstrumentConfig Texts(std::string model, std::string date, std::string maker) {
    sim::InstrumentConfig c;
    c.model = std::move(model);
    c.softwareDate = std::move(date);
    c.maker = std::move(maker);
    return c;
}

TEST(Identification, ModelDateAndMakerTransformations) {
    auto simulator = StartSimulator(0);
    Identity id = Identify(*simulator, 0, Texts("GAL1011", "150306", "DARENS"));
    EXPECT_EQ(id.model, "ГАЛ-101-1");
    EXPECT_EQ(id.date, "15.03.06");
    EXPECT_EQ(id.maker, "НПП ДАРЕНС");

    EXPECT_EQ(Identify(*simulator, 0, Texts("GAL1010", "1503061", "DARENS Ltd")).model, "ГАЛ-101");
    id = Identify(*simulator, 0, Texts("BRI205", "15O306", "Acme"));
    EXPECT_EQ(id.model, "БРИ-205");
    EXPECT_EQ(id.date, "15O306");
    EXPECT_EQ(id.maker, "Acme");
    EXPECT_EQ(Identify(*simulator, 0, Texts("GAL1010", "1503061", "X")).date, "1503061");

    // Zero bytes are left out, also at positions 10 to 12.
    id = Identify(*simulator, 0,
                  Texts(std::string("GAL1\0"
                                    "1",
                                    6),
                        std::string("15\0"
                                    "03",
                                    5),
                        std::string("\0Z", 2)));
    EXPECT_EQ(id.model, "ГАЛ-11");
    EXPECT_EQ(id.date, "1503");
    EXPECT_EQ(id.maker, "Z");
    EXPECT_EQ(Identify(*simulator, 0, Texts("Model \xC0", "", "")).model, "Model А");
}

TEST(Identification, FixedPositionsNeverReachTheChecksum) {
    auto simulator = StartSimulator(0);
    // "GAL101" whose checksum byte is the digit 1: no "-1" is appended.
    const int a = AddressGivingChecksum("GAL101", '1');
    ASSERT_GE(a, 0);
    EXPECT_EQ(Identify(*simulator, a, Texts("GAL101", "150306", "DARENS")).model, "ГАЛ-101");
    // "DAREN" whose checksum byte is the letter S stays DAREN.
    const int b = AddressGivingChecksum("DAREN", 'S');
    ASSERT_GE(b, 0);
    EXPECT_EQ(Identify(*simulator, b, Texts("X", "150306", "DAREN")).maker, "DAREN");
    // A short "GAL" model takes only the data bytes there are.
    EXPECT_EQ(Identify(*simulator, 0, Texts("GAL1", "1", "M")).model, "ГАЛ-1");
}

TEST(Identification, FailedRequestsEmptyTheirStrings) {
    auto simulator = StartSimulator(0);
    QtSerialPort port;
    InstrumentLink link(port, PortMap::Parse("COM1=" + simulator->DevicePath()));
    ASSERT_EQ(link.Identify(1, 0), result::kOk);
    ASSERT_FALSE(link.Maker().empty());

    // The date request fails: date and maker are both emptied, so a repeated
    // check never shows the earlier maker.
    simulator->With([](Instrument& m, double) { m.Config().answerDate = false; });
    EXPECT_EQ(link.Identify(1, 0), result::kOk);
    EXPECT_TRUE(link.SoftwareDate().empty());
    EXPECT_TRUE(link.Maker().empty());
    EXPECT_EQ(Cp1251ToUtf8(link.ModelName()), "ГАЛ-101-1");

    simulator->With([](Instrument& m, double) {
        m.Config().answerDate = true;
        m.Config().answerMaker = false;
    });
    EXPECT_EQ(link.Identify(1, 0), result::kOk);
    EXPECT_EQ(link.SoftwareDate(), "15.03.06");
    EXPECT_TRUE(link.Maker().empty());

    // A failed model request fails the identification and touches nothing.
    simulator->With([](Instrument& m, double) { m.Config().fault = Fault::Silent; });
    EXPECT_EQ(link.Identify(1, 0), result::kNoReply);
    EXPECT_EQ(link.SoftwareDate(), "15.03.06");
    simulator->With([](Instrument& m, double) {
        m.Config().errorCode = 0;
        m.Config().fault = Fault::None;
        m.Config().model = "";
    });
    EXPECT_EQ(link.Identify(1, 1), result::kNoReply);  // another network number
}

TEST(ConnectionCheck, ReportsOfARealCheck) {
    auto simulator = StartSimulator(3);
    QtSerialPort port;
    InstrumentLink link(port, PortMap::Parse("COM5=" + simulator->DevicePath()));
    LinkSettings settings;
    settings.comPort = 5;
    settings.networkNumber = 3;
    settings.channel = 1;
    settings.codeZ = 16;
    settings.codeR = 48;
    const auto check = [&](MeasuredQuantity q) {
        return Cp1251ToUtf8(RunConnectionCheck(link, settings, q).report);
    };
    const std::string head =
        "Прибор ЛАРМИТ ГАЛ-101-1\r\nСетевой номер 3\r\nВерсия ПО от 15.03.06, НПП ДАРЕНС"
        "\r\nСчитывание параметра ";
    EXPECT_EQ(check(MeasuredQuantity::Ph), head + "pH в канале 1 поддерживается прибором.");
    simulator->With([](Instrument& m, double) { m.Config().calibrated = false; });
    EXPECT_EQ(check(MeasuredQuantity::Px),
              head + "pX в канале 1 временно не возможно.\r\nДанные не готовы.");

    settings.channel = 2;
    settings.codeZ = 17;
    settings.codeR = 16;
    EXPECT_EQ(check(MeasuredQuantity::Emf),
              head + "ЭДС в канале 2 не возможно.\r\nОтсутствует данный параметр в приборе.");

    simulator->With([](Instrument& m, double) { m.Config().answerDate = false; });
    settings.channel = 1;
    settings.codeZ = 16;
    EXPECT_EQ(check(MeasuredQuantity::Emf),
              "Прибор ЛАРМИТ ГАЛ-101-1\r\nСетевой номер 3\r\nВерсия ПО от , \r\n"
              "Считывание параметра ЭДС в канале 1 поддерживается прибором.");

    settings.networkNumber = 0;
    EXPECT_EQ(
        check(MeasuredQuantity::Emf),
        "Прибор с номером 0 в COM5 не обнаружен. \r\nПодключите прибор или измените настройки.");
    settings.comPort = 1;
    settings.networkNumber = 3;
    EXPECT_EQ(
        check(MeasuredQuantity::Emf),
        "Прибор с номером 3 в COM1 не обнаружен. \r\nПодключите прибор или измените настройки.");
}

}  // namespace
}  // namespace kelm
