// How many pages the print preview shows side by side, one or two: kept in
// the per-user profile ("Settings"/"PreviewPages") when a preview closes and
// used by the next one, in this run or a later one.
#pragma once

class QPrintPreviewDialog;

namespace kelm {

// 1 or 2; a missing or hand-edited value that is neither reads as 1.
int StoredPreviewPages();

// Opens `dialog` at the stored count.
void ShowStoredPreviewPages(QPrintPreviewDialog& dialog);

// Keeps the count `dialog` showed when it closed; its overview of all pages
// is neither, and leaves the stored count as it was.
void StorePreviewPages(const QPrintPreviewDialog& dialog);

}  // namespace kelm
