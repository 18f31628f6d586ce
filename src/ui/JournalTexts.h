// How the window speaks of the journal of unsaved titrations.
#pragma once

#include <QString>
#include <vector>

#include "core/Journal.h"

namespace kelm {

// "08.12.2026 10:15 — 25 точек — HCl 0,1 M": when the record was started (else
// when it was last written), its points and the start of its description.
QString JournalEntryTitle(const JournalEntry& entry);

// The question at start-up about the newest of `entries` (not empty).
QString RecoveryQuestion(const std::vector<JournalEntry>& entries);

// The status-bar line once a record is kept in the journal.
QString JournalKeptLine();

// The line that stays in the status bar while the journal cannot be written.
QString JournalTroubleLine(const QString& folder);

// "1 точка", "2 точки", "5 точек", "21 точка".
QString PointsText(int count);

}  // namespace kelm
