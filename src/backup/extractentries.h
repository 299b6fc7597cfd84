#pragma once
// Restoring many entries of one archive at once: the archive's tables are
// read once and each of its folders decoded at most once, however many
// entries are asked for (extracting them one by one would read the tables
// and decode from the folder's start again for every entry).
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Extracts every entry whose stored name equals one of keys (ignoring the
// case of A-Z, as single extractions match) into folder, through temporary
// files, asking allowOverwrite (full path) before an existing file is
// replaced. Returns the keys that failed, each with the reason; a key that
// names no entry is no failure. An archive that cannot be read fails every key.
std::vector<std::pair<std::wstring, std::wstring>> ExtractEntries(
    const std::wstring& archive, const std::wstring& folder, const std::vector<std::wstring>& keys,
    const std::function<bool(const std::wstring& path)>& allowOverwrite);
