#pragma once
// Searching folders for files, with the progress window telling where.
#include <string>
#include <vector>

// Fills list with the full paths of the files matching mask in the folders
// (";"-separated; folders that do not exist are skipped), files of a folder
// before its subfolders. A file reached twice through overlapping folders is
// listed once but counted each time; the count is the result. Folders that
// are links to other places (junctions, symbolic links) are not entered, so
// a link back up the tree cannot make the search run in circles.
int FindFiles(std::vector<std::wstring>& list, const std::wstring& mask, const std::wstring& folders, bool recursive);

// The first existing file of that name: the name itself, then in each of the
// ";"-separated folders, then (recursive) in their subfolders, depth first
// (links to other places not entered). Empty when none.
std::wstring FindFileInTree(const std::wstring& name, const std::wstring& folders, bool recursive);
