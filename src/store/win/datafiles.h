#pragma once
// Loading and saving a data file with the precautions that keep the user's
// data: a small copy beside the file before it is replaced, an emergency
// copy of a file that cannot be read and of content that must not be
// written over another program's save, the repair of attributes that forbid
// writing, a missing directory offered for creation, and a question before
// a save shrinks a file below half its size.
//
// A save never writes over the data file in place: the new content goes to
// a file beside it (copynames.h), is flushed to the disk and replaces the
// old file in one step only when complete, with the old file's attributes.
// A save that fails or is cut off by a crash leaves the old file whole.
#include <cstdint>
#include <string>

#include "util/datetime.h"

class tTevList;

// The message of the last failed load or save; emptied when a load starts.
const std::wstring& LastDataError();

// Loads the list from the file. With keepLoaded, a list that holds items
// already is left as it is (true). False when the file does not exist or
// cannot be read; a file that exists but cannot be read is reported, copied
// aside (MakeEmergencyCopy) and marks the list LoadFailed, and the list
// keeps what it held before.
bool LoadListFromFile(tTevList& list, const std::wstring& path, bool keepLoaded);

// Saves the list to the file, with a small copy first when smallCopy is
// set. Every failure is shown; the result tells whether the file now holds
// the list.
bool SaveListToFile(tTevList& list, const std::wstring& path, bool smallCopy);

// "Kopia <period> <name>" beside the file, when small copies are on; then
// the older small copies are pruned. False when nothing was copied.
bool MakeSmallCopy(const std::wstring& dataFile);
// The copy of a file that could not be read, beside it under a free
// "_akz_" name. Reports a failure; false then.
bool MakeEmergencyCopy(const std::wstring& dataFile);
// The list's content written beside the data file under a free
// "<name>.akz.<moment>" name, and the user told where it is. False, and
// told so, when it could not be written.
bool SaveEmergencyCopy(tTevList& list, const std::wstring& dataFile);

// What the small copies need of the backup settings, set by the program at
// start: whether small copies are made, and the pruning of the older ones
// after a copy. Unset: copies are made and never pruned.
using SmallCopiesOn = bool (*)();
using PruneCopies = void (*)(const std::wstring& dataFile, const std::wstring& copyJustMade);
void SetSmallCopyRules(SmallCopiesOn on, PruneCopies prune);

// A file's size and last write, the time in universal time (a change to or
// from summer time does not change it).
struct DataFileState {
    bool exists = false;
    std::int64_t size = 0;
    DateTimeValue written = 0;
};
DataFileState DataFileStateOf(const std::wstring& path);

// Installs the program's host of the stored lists (store/storehost.h): table
// paths, these loads and saves, the dialogs, the progress window, the clock.
void InstallStoreHost();
