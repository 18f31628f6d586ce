// kelmtool process over many files in one call: one table (tab-separated or
// CSV) or one JSON array of the equivalence points of every file.
#pragma once

#include <span>
#include <string_view>

#include "ProcessingOptions.h"

namespace kelm::tool {

enum class BatchFormat { Table, Csv, Json };

// Processes every file `words` name ("-" reads names from standard input) with
// the overrides and prints the results as they come, so that memory stays the
// same for any number of files. A file that fails gets its own line (or
// object) with the reason, also said on stderr, and the rest go on. Returns
// the highest status any file came to (0 when all were processed), or
// kExitUsage when no file was named at all.
int RunProcessBatch(std::span<const std::string_view> words, const ProcessingOverrides& overrides,
                    BatchFormat format);

}  // namespace kelm::tool
