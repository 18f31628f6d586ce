// kelm-sim: a pH-meter/ion-meter on a pseudo-terminal, so that Kelm can be
// tried, demonstrated and tested without the instrument.
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <string_view>

#include "PtySimulator.h"
#include "core/Cp1251.h"
#include "core/LastResort.h"
#include "core/Version.h"

namespace {

std::atomic<bool> gStop{false};

void OnSignal(int) {
    gStop = true;
}

constexpr std::string_view kHelp = R"(Usage: kelm-sim [OPTIONS]

Simulates a pH-meter/ion-meter of the LARMIT family on a pseudo-terminal. The
first line printed is the terminal's device; name it in the file kelm.ports of
Kelm's working folder (for example "COM1=/dev/pts/3", or use --link), and Kelm
talks to the simulator as to the meter on that port.

The sample is titrated for real: pH, EMF and conductivity follow the
equilibrium of the reaction, and the electrode settles towards each new value
with a time constant of several seconds and a little noise, as a real one does.
Type the total volume of titrant added (in mL) on a line of its own after each
addition, or let --auto add titrant once the reading has settled.

Instrument:
  --link PATH         also make PATH a symbolic link to the device
  --address N         network number, 0..255 (default 0)
  --model TEXT        model name (default GAL1011, which Kelm shows as ГАЛ-101-1)
  --date TEXT         software date, day first (default 150306)
  --maker TEXT        maker (default DARENS)
  --channels N        measuring channels 1..9 (default 1); others answer error 3

Sample:
  --reaction KIND     acid-base (default): an acid titrated with NaOH, glass electrode;
                      redox: iron(II) titrated with cerium(IV), platinum electrode
  --sample ML         sample volume (default 20)
  --analyte M         acid or iron(II) concentration, mol/L (default 0.1)
  --titrant M         titrant concentration, mol/L (default 0.1)
  --pka X             acid strength; below 0 a strong acid (default -2; acetic 4.76)
  --tau S             electrode time constant in seconds (default 5)
  --noise MV          EMF noise, standard deviation in mV (default 0.05)
  --auto              add titrant by itself once the reading has settled
  --step ML           volume of each automatic addition (default 0.5)
  --max-volume ML     last automatic total volume (default 40)
  --hold S            least time between automatic additions, so that a drift
                      check over 30 s sees the settled reading (default 35)
  --follow            with --auto: add one step each time the meter is read
                      again after a pause of reading, from the second time on,
                      instead of after --hold: a program that reads only while a
                      point awaits its value, as Kelm's entry window does, gets
                      one addition per point

Faults:
  --uncalibrated      pH and pX answer error 4 (data not ready)
  --error CODE        every measurement answers error CODE: 2 data format,
                      3 no such parameter, 4 not ready, 255 instrument fault
  --no-date           the software-date request answers error 3
  --no-maker          the maker request answers error 3
  --fault KIND        silent (no reply), checksum (garbled checksum), start,
                      address, z, r (wrong field echoed), header (header only),
                      vanish (the device disappears after the header)
  --delay MS          answer only after MS milliseconds
  --gap MS            pause MS milliseconds inside each reply ...
  --gap-after N       ... after its first N bytes (default 8)
  --no-pacing         answer at once instead of at the pace of 9600 baud

Other:
  --quiet             do not log the frames received and sent (on stderr)
  -h, --help          show this text
  --version           print the version

Stop with Ctrl-C.
)";

bool ParseNumber(std::string_view text, double& out) {
    const std::string s(text);
    char* end = nullptr;
    errno = 0;
    out = std::strtod(s.c_str(), &end);
    return !s.empty() && end == s.c_str() + s.size() && errno == 0;
}

bool ParseInt(std::string_view text, int& out, int low, int high) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && out >= low && out <= high;
}

int Usage(const std::string& message) {
    std::cerr << "kelm-sim: " << message << "\nTry 'kelm-sim --help'.\n";
    return 64;
}

struct Options {
    kelm::sim::InstrumentConfig instrument;
    kelm::sim::SampleConfig sample;
    std::string link;
    bool autoAdd = false;
    double step = 0.5;
    double maxVolume = 40.0;
    double holdS = 35.0;
    bool follow = false;
    bool quiet = false;
};

// Parses the command line; returns an exit status to stop with, or -1.
int ParseOptions(int argc, char** argv, Options& o) {
    using kelm::sim::Fault;
    const std::map<std::string_view, Fault> faults = {
        {"silent", Fault::Silent},     {"checksum", Fault::BadChecksum},
        {"start", Fault::WrongStart},  {"address", Fault::WrongAddress},
        {"z", Fault::WrongZ},          {"r", Fault::WrongR},
        {"header", Fault::HeaderOnly}, {"vanish", Fault::Vanish}};
    o.instrument.gapAfterBytes = 8;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&](std::string_view& v) {
            if (i + 1 >= argc) {
                return false;
            }
            v = argv[++i];
            return true;
        };
        std::string_view v;
        double number = 0;
        if (arg == "-h" || arg == "--help") {
            std::cout << kHelp;
            return 0;
        } else if (arg == "--version") {
            std::cout << "kelm-sim " << kelm::kVersion << '\n';
            return 0;
        } else if (arg == "--auto") {
            o.autoAdd = true;
        } else if (arg == "--follow") {
            o.follow = true;
        } else if (arg == "--quiet") {
            o.quiet = true;
        } else if (arg == "--uncalibrated") {
            o.instrument.calibrated = false;
        } else if (arg == "--no-date") {
            o.instrument.answerDate = false;
        } else if (arg == "--no-maker") {
            o.instrument.answerMaker = false;
        } else if (arg == "--no-pacing") {
            o.instrument.pace = false;
        } else if (!value(v)) {
            return Usage(arg.starts_with("--") ? "option " + std::string(arg) + " needs a value"
                                               : "unknown argument " + std::string(arg));
        } else if (arg == "--link") {
            o.link = v;
        } else if (arg == "--address") {
            if (!ParseInt(v, o.instrument.networkNumber, 0, 255)) {
                return Usage("the network number must be 0..255");
            }
        } else if (arg == "--model") {
            o.instrument.model = kelm::Utf8ToCp1251(v);
        } else if (arg == "--date") {
            o.instrument.softwareDate = kelm::Utf8ToCp1251(v);
        } else if (arg == "--maker") {
            o.instrument.maker = kelm::Utf8ToCp1251(v);
        } else if (arg == "--channels") {
            if (!ParseInt(v, o.instrument.channels, 1, 9)) {
                return Usage("the number of channels must be 1..9");
            }
        } else if (arg == "--reaction") {
            if (v != "acid-base" && v != "redox") {
                return Usage("the reaction is acid-base or redox");
            }
            o.sample.reaction =
                v == "redox" ? kelm::sim::Reaction::Redox : kelm::sim::Reaction::AcidBase;
        } else if (arg == "--error") {
            if (!ParseInt(v, o.instrument.errorCode, 1, 255)) {
                return Usage("the error code must be 1..255");
            }
        } else if (arg == "--fault") {
            const auto found = faults.find(v);
            if (found == faults.end()) {
                return Usage("unknown fault " + std::string(v));
            }
            o.instrument.fault = found->second;
        } else if (arg == "--delay") {
            if (!ParseInt(v, o.instrument.replyDelayMs, 0, 60000)) {
                return Usage("the delay must be 0..60000 ms");
            }
        } else if (arg == "--gap") {
            if (!ParseInt(v, o.instrument.gapMs, 0, 60000)) {
                return Usage("the gap must be 0..60000 ms");
            }
        } else if (arg == "--gap-after") {
            if (!ParseInt(v, o.instrument.gapAfterBytes, 1, 1100)) {
                return Usage("--gap-after must be 1..1100 bytes");
            }
        } else if (!ParseNumber(v, number)) {
            return Usage("option " + std::string(arg) + " needs a number");
        } else if (arg == "--sample" && number > 0) {
            o.sample.sampleMl = number;
        } else if (arg == "--analyte" && number > 0) {
            o.sample.analyteMolar = number;
        } else if (arg == "--titrant" && number > 0) {
            o.sample.titrantMolar = number;
        } else if (arg == "--pka") {
            o.sample.pKa = number;
        } else if (arg == "--tau" && number > 0) {
            o.instrument.timeConstantS = number;
        } else if (arg == "--noise" && number >= 0) {
            o.instrument.noiseMv = number;
        } else if (arg == "--step" && number > 0) {
            o.step = number;
        } else if (arg == "--max-volume" && number > 0) {
            o.maxVolume = number;
        } else if (arg == "--hold" && number >= 0) {
            o.holdS = number;
        } else {
            return Usage("unknown option or out-of-range value: " + std::string(arg) + " " +
                         std::string(v));
        }
    }
    return -1;
}

void ReportVolume(kelm::sim::Instrument& meter) {
    std::printf("V = %.3f mL\n", meter.Volume());
    std::fflush(stdout);
}

int Run(int argc, char** argv) {
    Options options;
    if (const int status = ParseOptions(argc, argv, options); status >= 0) {
        return status;
    }
    kelm::sim::PtySimulator simulator(options.instrument, options.sample);
    std::string error;
    if (!simulator.Start(error, options.link)) {
        std::cerr << "kelm-sim: " << error << '\n';
        return 71;
    }
    if (!options.quiet) {
        simulator.SetLog([](std::string_view line) { std::cerr << line << std::endl; });
    }
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::cout << simulator.DevicePath() << std::endl;

    // One automatic addition, up to the last volume.
    const auto addStep = [&options](kelm::sim::Instrument& meter, double now) {
        const double next = meter.Volume() + options.step;
        if (next <= options.maxVolume + 1e-9) {
            meter.SetVolume(next, now);
            ReportVolume(meter);
        }
    };
    kelm::sim::ReadingSessions sessions;
    bool inputOpen = true;
    std::string line;
    while (!gStop && !simulator.Vanished()) {
        if (inputOpen) {
            pollfd p{STDIN_FILENO, POLLIN, 0};
            if (::poll(&p, 1, 200) > 0) {
                if (!std::getline(std::cin, line)) {
                    inputOpen = false;  // keep answering until stopped
                } else if (double ml = 0; ParseNumber(line, ml) && ml >= 0) {
                    simulator.With([&](kelm::sim::Instrument& meter, double now) {
                        meter.SetVolume(ml, now);
                        ReportVolume(meter);
                    });
                } else if (!line.empty()) {
                    std::cerr << "kelm-sim: type the total volume added in mL, e.g. 2.5\n";
                }
            }
        } else {
            ::usleep(200'000);
        }
        if (options.autoAdd && options.follow) {
            if (sessions.NextBegun(simulator.SecondsSinceRequest())) {
                simulator.With(addStep);
            }
        } else if (options.autoAdd) {
            simulator.With([&](kelm::sim::Instrument& meter, double now) {
                meter.Advance(now);
                if (meter.Settled() && meter.SecondsSinceAddition(now) >= options.holdS) {
                    addStep(meter, now);
                }
            });
        }
    }
    simulator.Stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return kelm::RunGuarded("kelm-sim", [&] { return Run(argc, argv); });
}
