#pragma once
// Where folder backups are proposed and first looked for.
#include <string>

// The program's directory, where the program has always put its backups,
// when files can be created there; otherwise (a program installed under
// Program Files and run by a standard user) the user's backup folder: the
// directory of the backup settings ("Ścieżka kopii zapasowych" under
// Software\TEV\Kopie zapasowe) when it names an existing folder, else the
// documents folder, which is the settings' default. Ends in a backslash.
std::wstring ArchiveFolder();
