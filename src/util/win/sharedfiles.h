#pragma once
// Files shared by all TEV programs at fixed or remembered places.
#include <string>

// The settings file the TEV programs share: "c:\tev.ini".
std::wstring SharedSettingsFile();

// The NIP-exceptions and interest-rate files: read once per run from the
// shared settings file (key "Plik" of the sections "Wyjątki NIP" and
// "Odsetki"), with "c:\wyjatki.nip" and "c:\odsetki.dat" as defaults, and
// written back there.
std::wstring NipExceptionsFile();
std::wstring InterestRatesFile();

// The help file "tev.hlp": the location kept in the shared settings file
// (key "Plik" of the section "Pomocy"), or else the first one found on the
// program's drive; empty when there is none. Looked up once per run.
std::wstring HelpFile();
// The lookup of HelpFile, from the drive root given, for the program
// version given. The search shows where it is and can be stopped; when it
// finds nothing (or is stopped) the version is noted in the user's settings
// (Software\TEV\Archiwin) and the same version does not search again,
// until a file is found at the kept location.
std::wstring LocateHelpFile(const std::wstring& root, const std::wstring& version);
