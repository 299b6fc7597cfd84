#pragma once
// What a test sees of the machine it runs on: the user's profile folders and
// the drives. The scripts' Wine prefixes keep both inside the prefix (no
// folder linked to the host's home, no drive showing the host's root).
#include <windows.h>

#include <string>
#include <vector>

struct ProfileFolder {
    const wchar_t* name;
    std::wstring path;  // empty when the system has none
};

// Desktop, Documents, Downloads, Music, Pictures, Videos and Templates of the
// current user.
std::vector<ProfileFolder> UserProfileFolders();

// The letters of the drives present, e.g. L"CZ".
std::wstring DriveLetters();
