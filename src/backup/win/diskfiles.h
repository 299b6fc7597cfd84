#pragma once
// The files now in the restore's destination, for comparing an archive's
// entries with them. Each folder is listed once, when the first entry in it
// is looked up: one listing costs far less than asking for every file.
#include <string>
#include <unordered_map>

#include "backup/restorelist.h"

class DiskFiles {
public:
    explicit DiskFiles(std::wstring folder);
    // The file at folder + key (a relative path), missing or with the date
    // and size FileDateOf and FileSizeOf give.
    DiskFile Find(const std::wstring& key);

private:
    using Listing = std::unordered_map<std::wstring, DiskFile>;  // by upper-case name
    const Listing& ListingOf(const std::wstring& subfolder);

    std::wstring folder_;
    std::unordered_map<std::wstring, Listing> listings_;  // by upper-case subfolder
};
