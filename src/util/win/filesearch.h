#pragma once
// Searching folders for files, with the progress window telling where.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "util/datetime.h"

// A folder entry that is a link to another place (a junction or a symbolic
// link; Wine shows Unix links without a tag). Searches never descend into
// one: it could lead back up the tree or out of it. Other reparse points
// (cloud folders) are ordinary folders.
bool IsLinkedFolder(const WIN32_FIND_DATAW& data);

// Fills list with the full paths of the files matching mask in the folders
// (";"-separated; folders that do not exist are skipped), files of a folder
// before its subfolders. A file reached twice through overlapping folders is
// listed once but counted each time; the count is the result. Folders that
// are links to other places (junctions, symbolic links) are not entered, so
// a link back up the tree cannot make the search run in circles. Files are
// matched by their long names: the system's search also matches the short
// 8.3 names, so "*.dat" alone would find "umowa.data".
int FindFiles(std::vector<std::wstring>& list, const std::wstring& mask, const std::wstring& folders, bool recursive);

// The first existing file of that name: the name itself, then in each of the
// ";"-separated folders, then (recursive) in their subfolders, depth first
// (links to other places not entered). Empty when none.
std::wstring FindFileInTree(const std::wstring& name, const std::wstring& folders, bool recursive);
// The same, telling entering about each subfolder before it is searched; the
// search ends with nothing found when entering returns false.
std::wstring FindFileInTree(const std::wstring& name, const std::wstring& folders, bool recursive,
                            const std::function<bool(const std::wstring& folder)>& entering);

// One file of a folder's listing.
struct ListedFile {
    std::wstring name;            // as listed, without the folder
    std::wstring path;            // the folder + name
    std::int64_t size = 0;
    DateTimeValue written = 0;    // last write, local time of its own date
    std::uint32_t attributes = 0; // FILE_ATTRIBUTE_...
};
// The files (not folders) of the folder (with a trailing backslash) whose
// long names match the mask, in the order the system lists them.
std::vector<ListedFile> ListFiles(const std::wstring& folder, const std::wstring& mask);
