#pragma once
// File-name masks as the system's directory search takes them ("*.dat",
// "kopia*.dat", "?.lnk"), matched against a long name without regard to case.
//
// The system's search also matches a mask against a file's short (8.3)
// name, so "*.dat" finds "umowa.data" (short name UMOWA~1.DAT) and
// "baza.dat_old"; whatever must act on the files a mask names checks each
// found long name again with MatchesMask.
#include <string_view>

// "*" stands for any run of characters, "?" for one; every other character
// matches itself in either case. "*.*" and "*" match every name; a mask that
// ends in "." also matches a name without an extension ("abc." matches "abc").
bool MatchesMask(std::wstring_view name, std::wstring_view mask);
