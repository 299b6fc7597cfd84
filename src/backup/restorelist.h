#pragma once
// The restore dialog's list: how an archive entry compares with the file now
// on disk, which entries each mode checks, the item texts and the label of
// the archive's compression.
#include <cstdint>
#include <optional>
#include <string>

#include "cabinet/cab_types.h"
#include "util/datetime.h"

// The file an entry would replace: missing, or its date and size.
struct DiskFile {
    bool exists = false;
    DateTimeValue date = 0;
    int64_t size = 0;
};

struct EntryComparison {
    std::wstring text;               // "" when nothing was compared
    bool newOrNewer = false;         // missing on disk, or the archive's copy is newer
    bool existingDifferent = false;  // on disk, and the archive's copy is newer
};

// No disk state (the destination is unknown): no text, both flags false.
// "Newer" also means the same date with another size.
EntryComparison CompareWithDisk(const std::optional<DiskFile>& disk, DateTimeValue entryDate, int64_t entrySize);

// The mode buttons of the dialog.
enum class RestoreMode { All, NewAndNewer, ExistingOnly, None };
bool CheckedInMode(RestoreMode mode, const EntryComparison& comparison);

// The item's markup: the key hidden in front, the name in bold, size and
// date, and the comparison on a second line. Characters that markup would
// read as tags are written as entities, so every name shows as it is.
std::wstring RestoreItemText(const std::wstring& key, const std::wstring& relPath, const std::wstring& storedName,
                             int64_t size, DateTimeValue date, const std::wstring& comparisonText);

// "LZX 42%": the kind of compression and the archive's size in percent of its
// files' sizes; "LZX -" when the files are empty.
std::wstring CompressionLabel(CabCompression compression, int64_t archiveSize, int64_t filesSize);

// Text shown as it is in markup: "<", ">" and "&" as entities.
std::wstring MarkupLiteral(const std::wstring& text);

// Whether a stored name is the archive's information file.
bool IsInfoFileEntry(const std::wstring& storedName);
