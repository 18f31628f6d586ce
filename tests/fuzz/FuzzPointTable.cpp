// ReadPointTable (kelmtool import) on arbitrary bytes: never a crash or a read
// outside the input; a refusal names a line of the input; the points of a table
// it reads, written again with each separator and decimal form it accepts, read
// back as the same numbers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/NumberText.h"
#include "core/PointTable.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct Form {
    char separator;
    bool decimalComma;
};
constexpr Form kForms[] = {{',', false}, {';', false}, {';', true}, {'\t', true}};

void Write(const kelm::PointTable& table, Form form, std::string& text) {
    text.clear();
    for (int i = 0; i < table.count; ++i) {
        text += kelm::ExactNumberText(table.points[i].volume, form.decimalComma).view();
        text += form.separator;
        text += kelm::ExactNumberText(table.points[i].value, form.decimalComma).view();
        text += "\r\n";
    }
}

bool SamePoints(const kelm::PointTable& a, const kelm::PointTable& b) {
    return a.count == b.count &&
           std::equal(a.points.begin(), a.points.begin() + a.count, b.points.begin(),
                      [](const kelm::CurvePoint& p, const kelm::CurvePoint& q) {
                          return p.volume == q.volume && p.value == q.value;
                      });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static kelm::PointTable table;
    static kelm::PointTable again;
    static std::string text;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (const auto problem = kelm::ReadPointTable(bytes, table)) {
        const auto lines = std::count(bytes.begin(), bytes.end(), '\n') + 1;
        Require(!problem->message.empty() && problem->line >= 0 && problem->line <= lines);
        return 0;
    }
    Require(table.count >= 1 && table.count <= kelm::kMaxPoints);
    for (const Form form : kForms) {
        Write(table, form, text);
        Require(!kelm::ReadPointTable(text, again) && SamePoints(table, again));
    }
    return 0;
}
