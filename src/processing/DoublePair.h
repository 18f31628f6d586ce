// Two doubles computed side by side in one register (SSE2 on x86-64; plain
// doubles where the processor has no such register). Each lane is added,
// subtracted, multiplied and divided exactly as a lone double, correctly
// rounded, so a result is the same to the bit; only two come at once.
#pragma once

#include <cstring>

namespace kelm {

using DoublePair = double __attribute__((vector_size(2 * sizeof(double))));

inline DoublePair LoadPair(const double* from) {
    DoublePair pair;
    std::memcpy(&pair, from, sizeof pair);
    return pair;
}

inline void StorePair(double* to, DoublePair pair) {
    std::memcpy(to, &pair, sizeof pair);
}

}  // namespace kelm
