// The record's code page 1251 texts at the window's edge: the core keeps
// bytes, the widgets show QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kelm {

QString FromCp1251(std::string_view bytes);

// Characters that code page 1251 lacks become `replacement`.
std::string ToCp1251(const QString& text, char replacement = '?');

// The distinct characters of `text` that code page 1251 cannot hold, in the
// order they first appear; empty when it holds them all.
QString NotInCp1251(const QString& text);

}  // namespace kelm
