// A fresh path for a simulated meter's link. The tests name the meter by its
// link, not by its terminal: a stopped meter's terminal number is soon given
// to a terminal of a test running beside it, while its link is gone for good.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

namespace kelm::test {

inline std::filesystem::path FreshMeterLink() {
    static std::atomic<int> count{0};
    return std::filesystem::temp_directory_path() /
           ("kelm-meter-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
}

}  // namespace kelm::test
