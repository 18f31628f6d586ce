// What turns the record's equivalence volumes into the chemist's result: the
// sample, the titrant with its titer, the blank, the stoichiometry and the
// unit, and for a titer determination the primary standard. Plain data kept
// with the record; the results layer computes with it.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace kelm {

enum class SampleUnit : std::uint8_t { Millilitre, Gram };

enum class ResultUnit : std::uint8_t {
    MolPerLitre,
    MillimolPerLitre,
    GramPerLitre,
    MilligramPerLitre,
    Percent,
    MilligramPerGram,
    MillimolPerGram,
};
inline constexpr int kResultUnitCount = 7;

inline constexpr std::size_t kResultNameCapacity = 101;  // 100 bytes and the zero

// A name in code page 1251, zero-terminated; the bytes after the text are
// zero too, so that two equal names compare equal as arrays.
using ResultName = std::array<char, kResultNameCapacity>;

inline std::string_view NameView(const ResultName& name) {
    const auto end = std::find(name.begin(), name.end() - 1, '\0');
    return {name.data(), static_cast<std::size_t>(end - name.begin())};
}

// Stores as much of `text` as fits, up to its first zero byte.
inline void SetName(ResultName& name, std::string_view text) {
    name.fill('\0');
    text = text.substr(0, std::min(text.find('\0'), name.size() - 1));
    std::copy(text.begin(), text.end(), name.begin());
}

struct ResultSettings {
    ResultName sampleName{};
    double sampleAmount = 0.0;  // mL or g; 0 until the user gives it
    SampleUnit sampleUnit = SampleUnit::Millilitre;
    ResultName titrantName{};
    double concentration = 0.0;  // the titrant's nominal concentration, mol/L
    double titer = 1.0;
    double blank = 0.0;      // mL
    double ratio = 1.0;      // moles of analyte per mole of titrant
    double molarMass = 0.0;  // of the analyte, g/mol; 0 when not given
    ResultUnit unit = ResultUnit::MolPerLitre;

    // The record titrates a primary standard to find the titrant's titer.
    bool titerDetermination = false;
    double standardMass = 0.0;       // g
    double standardPurity = 100.0;   // %
    double standardMolarMass = 0.0;  // g/mol
    double standardRatio = 1.0;      // moles of standard per mole of titrant

    bool IsDefault() const { return *this == ResultSettings{}; }
    friend bool operator==(const ResultSettings&, const ResultSettings&) = default;
};

}  // namespace kelm
