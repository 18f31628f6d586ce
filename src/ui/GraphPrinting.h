// The printed page of the graph: the same drawing for paper, print preview
// and PDF files.
#pragma once

#include <QString>

class QPrinter;

namespace kelm {

class Prompter;
struct SharedState;

// Draws the page on a printer that is set up and not yet painted on. The page
// font follows the screen's vertical resolution, so paper and preview agree.
// False when the printer (or its output file) could not be opened.
bool PrintPage(SharedState& state, QPrinter& printer);

// What the user is told when a printer could not be opened.
inline constexpr char kPrintFailedMessage[] = "Не удалось начать печать.";

// The shell's print request: prints the record on the named printer, or on the
// default printer when `printerName` is empty, without asking anything. False,
// after telling the user, when there is no such printer or it cannot print.
bool PrintWithoutDialog(SharedState& state, const QString& printerName, Prompter& prompter);

}  // namespace kelm
