#include "core/LastResort.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

namespace kelm {

namespace {

std::string gProgram = "kelm";

void Report(const char* what) {
    std::fprintf(stderr, "%s: internal error: %s\n", gProgram.c_str(), what);
    std::fflush(stderr);
}

void ReportCurrent() {
    try {
        throw;
    } catch (const std::exception& e) {
        Report(e.what());
    } catch (...) {
        Report("unknown exception");
    }
}

[[noreturn]] void Terminate() {
    if (std::current_exception()) {
        ReportCurrent();
    } else {
        Report("terminated");
    }
    std::_Exit(kExitSoftware);
}

}  // namespace

int RunGuarded(std::string_view program, const std::function<int()>& body) {
    gProgram = std::string(program);
    std::set_terminate(Terminate);
    try {
        return body();
    } catch (...) {
        ReportCurrent();
        return kExitSoftware;
    }
}

}  // namespace kelm
