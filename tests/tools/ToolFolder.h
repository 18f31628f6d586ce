// A test folder to run kelmtool in, with result files made from points.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ResultFile.h"
#include "core/SharedState.h"
#include "support/KelmtoolRun.h"
#include "support/TempDir.h"

namespace kelm::test {

inline std::string Example(std::string_view name) {
    return (std::filesystem::path(KELM_EXAMPLES_DIR) / name).string();
}

class ToolFolder : public ::testing::Test {
protected:
    ToolOutcome Run(const std::vector<std::string>& words,
                    std::optional<std::string_view> input = std::nullopt) {
        return RunTool(KELMTOOL_PATH, words, dir.path(), input);
    }
    std::string Path(std::string_view name) { return (dir / name).string(); }

    // A record of the given points saved as a result file in the test folder.
    std::string RecordFile(std::string_view name, std::initializer_list<CurvePoint> points,
                           MeasuredQuantity quantity = MeasuredQuantity::Ph) {
        return RecordFile(name, std::vector<CurvePoint>(points), quantity);
    }
    std::string RecordFile(std::string_view name, const std::vector<CurvePoint>& points,
                           MeasuredQuantity quantity = MeasuredQuantity::Ph) {
        auto state = std::make_unique<SharedState>();
        NewRecord(*state);
        state->record.quantity = quantity;
        for (const CurvePoint& p : points) {
            state->record.points[state->record.pointCount++] = p;
        }
        WriteBytes(dir / name, SaveRecord(*state));
        return Path(name);
    }

    std::unique_ptr<SharedState> Load(std::string_view name) {
        auto state = std::make_unique<SharedState>();
        NewRecord(*state);
        EXPECT_EQ(LoadRecord(*state, ReadBytes(dir / name)), LoadStatus::Loaded);
        return state;
    }

    TempDir dir;
};

}  // namespace kelm::test
