#pragma once
// Files and folders on the system: the program's directory, the shell's
// special folders, sizes and dates of files, replacing and expanding files,
// and handing documents and addresses to the shell.
#include <cstdint>
#include <string>

#include "util/datetime.h"

// <windows.h> names its own function ReplaceFile through a macro; taking it
// in first and dropping the macro lets this header's name stand whatever the
// order of includes.
#ifdef _WIN32
#include <windows.h>
#undef ReplaceFile
#endif

// The executable's full path as the system gives it.
std::wstring ProgramFile();
// The executable's directory, lower-cased, with a trailing backslash.
std::wstring ProgramDir();

// The shell's special folders; the values are the shell's folder identifiers.
enum class FolderKind : int {
    Desktop = 0,  // the virtual root
    Programs = 2,
    ControlPanel = 3,
    Printers = 4,
    Personal = 5,  // documents
    Startup = 7,
    Recent = 8,
    SendTo = 9,
    RecycleBin = 10,
    StartMenu = 11,
    DesktopDirectory = 16,
    MyComputer = 17,
    Network = 18,
    NetworkNeighbourhood = 19,
    Fonts = 20,
    Templates = 21,
};

// The folder's path with a trailing backslash; "C:\" when the system cannot
// give one (virtual folders such as the recycle bin have none).
std::wstring SpecialFolder(FolderKind kind);
std::wstring DocumentsDir();
std::wstring StartMenuDir();
std::wstring DesktopDir();
// ProgramDir, or DocumentsDir when the program runs from the desktop.
std::wstring WorkDir();

bool FileExists(const std::wstring& path);
bool DirectoryExists(const std::wstring& path);

// Whether a directory can be reached now, tested by its attributes (the
// process's current directory stays as it is) with the system's "no disk"
// boxes suppressed, so an empty card reader asks nothing. A test that has not
// answered within timeoutMs of its start (an offline network path) counts as
// "no"; while it is under way, asking about the same path waits for that
// test, so once it has hung longer than timeoutMs the answer is "no" at once.
// A timeout of 0 starts a test without waiting for it (its answer, if it
// comes at once, is returned), so that a later question finds it under way.
bool DirectoryAvailable(const std::wstring& path, unsigned timeoutMs = 2000);

// True when a file can be created in the folder: a real file is created,
// found and removed again. (Asking the system for a temporary-file name is no
// test: Wine reports success there without creating anything, and a folder's
// read-only mark says nothing about the user's rights.)
bool CanCreateFilesIn(const std::wstring& folder);

// Size in bytes, -1 when nothing is found.
std::int64_t FileSizeOf(const std::wstring& path);
// Local last-write time with the two-second precision of the DOS form the
// cabinet entries carry (so the two compare exactly); 0 when missing.
DateTimeValue FileDateOf(const std::wstring& path);
// The same for a last-write time already at hand (from a directory listing).
DateTimeValue DosDateOf(const FILETIME& written);
// A file time (universal) as local time by the rules of its own date, so a
// summer date stays in summer time whatever the season now.
DateTimeValue LocalDateTimeOf(const FILETIME& written);
// A system time as a date value, milliseconds included.
DateTimeValue SystemTimeValue(const SYSTEMTIME& st);

// One of a file's times, in universal time; all zero when the file is missing.
struct FileTimeRecord {
    std::uint64_t fileTime = 0;  // 100-ns units since 1601
    DateTimeValue dateTime = 0;
    int year = 0, month = 0, weekday = 0, day = 0;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};
enum class FileTimeKind : int { Creation = 0, LastAccess = 1, LastWrite = 2 };
FileTimeRecord FileTimes(const std::wstring& path, FileTimeKind which);

// "plik <path>\r\nzajmuje <size>\r\nostatnio zapisany: <date>"
std::wstring FileDescription(const std::wstring& path);

// The system's text of an error code: "błąd 5: Odmowa dostępu." (the prefix
// before the number; the data files say "błąd systemu ").
std::wstring SystemErrorText(unsigned long code, const std::wstring& prefix = L"błąd ");

// Moves source onto target, replacing it in one step. When source is
// missing, target is left alone. False when nothing was replaced.
bool ReplaceFile(const std::wstring& source, const std::wstring& target);

// Expands a file packed by the system's compress tool (a plain file is
// copied) into "Kopia " + its name beside it and returns that path; empty when
// the file is missing or an old copy cannot be deleted. Raises
// "Błąd biblioteki LZ <code>" when the expansion fails.
std::wstring LzExpandCopy(const std::wstring& path);

// Opens a document, program or address with the shell: a target that is not
// an ".exe" and carries neither "http://" nor "mailto:" gets "http://" in
// front. True when the shell reports success.
bool ShellOpen(const std::wstring& target);

// Registers the extension as the type name, with the application's title and
// the executable's icon.
bool RegisterFileType(const std::wstring& extension, const std::wstring& typeName);
