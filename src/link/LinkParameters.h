// What the titration parameters dialog stores as the user leaves each of its
// controls or changes a list's selection; every change takes effect at once.
// Typed texts are what the boxes hold (UTF-8 for the description's check,
// code page 1251 once stored).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/SharedState.h"
#include "link/PortList.h"

namespace kelm {

// The quantity list; an entry's position is the quantity's value.
inline constexpr std::array<std::string_view, 4> kQuantityEntries = {"ЭДС (мВ)", "pH (ед. pH)",
                                                                     "pX (ед. pX)", "УЭП (мСм/см)"};

// How many characters the network number and channel boxes take.
inline constexpr int kNetworkNumberLength = 3;
inline constexpr int kChannelLength = 2;

// The port list: the COM number at `position` becomes comPort when it is one
// of 1..8; with nothing at that position nothing changes.
void StorePort(LinkSettings& link, const PortList& list, int position);

// The quantity list: a position 0..3 becomes the quantity, and codeR follows.
// Other positions (nothing selected) change nothing.
void StoreQuantity(TitrationRecord& record, LinkSettings& link, int position);

// The network number box: the typed integer, 0 when it is outside 0..255.
// Returns what the box then shows.
std::int32_t StoreNetworkNumber(LinkSettings& link, std::string_view typed);

// The channel box: the typed integer, 1 when it is outside 0..9; the channel
// code follows by SetChannel. Returns what the box then shows.
std::int32_t StoreChannel(LinkSettings& link, std::string_view typed);

// The description box: code page 1251 bytes, at most 1020 of them are kept.
void StoreDescription(TitrationRecord& record, std::string_view cp1251);

// What the description box may hold. Each character that code page 1251
// lacks, and the zero character that would end the text, becomes "?", so
// every character left is one byte of the code page; then at most 1020 are
// kept. `replaced` lists the characters replaced, each once.
struct FittedDescription {
    std::string text;      // UTF-8
    std::string replaced;  // UTF-8
};
FittedDescription FitDescription(std::string_view utf8);

// The quantity can be chosen only while the record has no points.
bool QuantityChoosable(const TitrationRecord& record);

}  // namespace kelm
