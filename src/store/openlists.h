#pragma once
// The registries of the open lists: every table-bound list (one that has run
// CreateForTable) is held, in the order of creation, among the data lists or,
// for a reference table, among the reference lists. A list leaves its
// registry when it is destroyed. The registries hold the lists, not own them.
#include <vector>

class tTevList;

const std::vector<tTevList*>& DataLists();
const std::vector<tTevList*>& ReferenceLists();

// The first open list of the table: among the data lists, then among the
// reference lists; nullptr when none.
tTevList* FindOpenList(int table);

// Set by program start when the program runs for one command-line action:
// the offer to create a missing data file is not made.
bool QuietStart();
void SetQuietStart(bool quiet);

// For the lists themselves.
void RegisterOpenList(tTevList& list);
void UnregisterOpenList(tTevList& list);
