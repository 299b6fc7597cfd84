#pragma once
// The update index ("/a.tev" on the update server) and the texts the update
// wizard builds from it. The index is INI text: an information text for the
// user, the mirror servers and, in the product's own section, one line per
// file that can be downloaded ("name=version;description;path").
//
// Everything in the index came over the network and is checked before it is
// used: a local file name must be a plain name of a file beside the program
// (CheckLocalName), a mirror a real host name (UsableMirror), and a server
// path is percent-encoded before it goes into an address.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "util/datetime.h"

struct UpdateIndex {
    std::wstring information;  // [Informacja] Informacja=
    // [-serwery]: every line, label and value, in order.
    std::vector<std::pair<std::wstring, std::wstring>> servers;
    // The product's section: its lines as written ("key=value"), in order.
    std::vector<std::wstring> productLines;
};

// Reads the index from its bytes: Windows-1250 text, or UTF-8 after a byte
// order mark. Section and key names are compared without regard to case;
// lines starting with ";" are comments; values are trimmed.
UpdateIndex ParseUpdateIndex(std::string_view bytes, std::wstring_view product);

// The information text as shown: runs of three or more spaces become two,
// two spaces a line break, and doubled line breaks single ones.
std::wstring PrepareInformationText(std::wstring text);

// A mirror from the "-serwery" section: a host name, or "http://host" or
// "https://host", whose host is a real DNS name under ".pl".
struct MirrorEntry {
    std::wstring scheme;  // "http" or "https"
    std::wstring host;    // lower case
    // What the server list keeps for the entry: the host, or "https://host".
    std::wstring Hidden() const { return scheme == L"https" ? L"https://" + host : host; }
};
std::optional<MirrorEntry> UsableMirror(std::wstring_view value);

// The markup of a server list entry: label, nine spaces, host, forty-two
// spaces and the hidden part.
std::wstring ServerEntryMarkup(std::wstring_view label, const MirrorEntry& mirror);
// The first entry: the update server itself.
std::wstring ReserveServerMarkup(std::wstring_view updateServerHost);

// A line of the product's section split at "=" and ";": the local file
// name, a version or date text, a description and the file's path on the
// server. nullopt when any of the four is empty.
struct UpdateFileLine {
    std::wstring name;
    std::wstring version;
    std::wstring description;
    std::wstring path;
};
std::optional<UpdateFileLine> SplitFileLine(std::wstring_view line);
// The value of a line starting with "<info>" (the text after "="); nullopt
// for other lines.
std::optional<std::wstring> InfoLineValue(std::wstring_view line);

// Whether a name from the index may be used as the name of a downloaded file
// beside the program.
enum class LocalNameVerdict {
    Ok,
    Unsafe,      // a path, a device, a reserved or odd name: never used
    OwnProgram,  // the running program's own file: cannot be replaced while it runs
    OwnFiles,    // "a.tev", "aa.rap": the wizard's own files
};
LocalNameVerdict CheckLocalName(std::wstring_view name, std::wstring_view ownExecutableName);

// Files the system loads by itself from the program's folder (libraries,
// controls, drivers): one planted there runs with the program.
bool IsLoadableModule(std::wstring_view name);
// ".exe", any case: an installer the wizard may start.
bool IsExecutableName(std::wstring_view name);

// An item of the file list: the freshness mark and the server's date when
// it gave one (serverDate > 0), then "<br><b>name</b> (version)<br>description".
// The file is "NOWE!" when its date is later than the last update.
std::wstring UpdateItemMarkup(const UpdateFileLine& line, DateTimeValue serverDate, DateTimeValue lastUpdate);
// An item for a line that names the running program: shown, not offered.
std::wstring OwnProgramItemMarkup(const UpdateFileLine& line);

// The whole days of the "Ostatnia aktualizacja" setting; 0 (never) when it is
// absent or not a number.
DateTimeValue ParseLastUpdateDay(std::wstring_view text);
// The status text of the welcome page.
std::wstring LastUpdateStatus(DateTimeValue lastUpdate, DateTimeValue today);

// "%.3f kB z %.3f kB" CR LF "%s z %s": received and announced kB (1000
// bytes), the elapsed time and the estimated total time. Without an announced
// length, the received kB and the elapsed time only.
std::wstring DownloadProgressText(std::int64_t received, std::int64_t announced, DateTimeValue elapsed);

// The RunOnce command that starts a downloaded installer: both paths quoted,
// the folder's trailing backslash doubled so that the quote still closes the
// argument ("c:\program files\tev\\").
std::wstring RunOnceCommand(const std::wstring& installer, const std::wstring& folder);

// "_AA_" + version + "_" + executable name: the kept copy of the program.
std::wstring KeptCopyName(std::wstring_view version, std::wstring_view executableName);
// "Tevsoft\Zachowane\<product> (sprzed aktualizacji <date>).lnk"
std::wstring KeptCopyShortcut(std::wstring_view productName, DateTimeValue today);

// Where the wizard keeps its files and downloads: the program's folder, the
// documents folder when the program runs from the desktop, and the per-user
// folder when the user may not write in the folder chosen so.
std::wstring ChooseUpdateDir(const std::wstring& programDir, const std::wstring& desktopDir,
                             const std::wstring& documentsDir, bool writable, const std::wstring& perUserDir);

// The notification e-mail after a download.
struct DownloadNotice {
    std::wstring product;
    std::wstring fileName;
    std::wstring serverPath;
    std::int64_t received = 0;
    std::int64_t announced = -1;
    DateTimeValue duration = 0;
    std::wstring programVersion;
    std::wstring status;  // the welcome page's status, plain text
    // "Version", "VersionNumber", "Plus! VersionNumber", "ProductName" of the system.
    std::wstring windowsVersion, windowsVersionNumber, plusVersionNumber, windowsProductName;
};
std::wstring NoticeSubject(const DownloadNotice& n);
std::vector<std::wstring> NoticeBody(const DownloadNotice& n);
