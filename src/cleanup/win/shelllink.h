#pragma once
// TPBShellLink: reads and writes shortcut files (".lnk") through the shell's
// shortcut object. FileName may be placed in one of the shell's folders
// (ShellFolder), whose path the shell records under the current user's
// "Shell Folders" key; a name without the ".lnk" extension gets it.
//
// Errors raise EPBShellLink with a short message in the chosen Language.
#include <windows.h>

#include <stdexcept>
#include <string>

class EPBShellLink : public std::runtime_error {
public:
    explicit EPBShellLink(const std::wstring& message);
    const std::wstring& Message() const { return message_; }

private:
    std::wstring message_;
};

enum class TShowState { Normal, Minimized, Maximized };
enum class TShellFolder {
    sfNone, sfDesktop, sfFavorites, sfFonts, sfPersonal, sfPrograms, sfRecent, sfSendTo, sfStartMenu, sfStartup,
    sfTemplates,
};
enum class TLanguage { lgFrench, lgEnglish };

// A keyboard shortcut: the virtual key and its modifiers.
struct TShortCut {
    WORD key = 0;
    bool shift = false, ctrl = false, alt = false;
    bool operator==(const TShortCut&) const = default;
};
// The shell's 16-bit hot key: low byte the key, high byte bit 0 Shift, bit 1
// Ctrl, bit 2 Alt.
TShortCut ShortCutFromHotKey(WORD hotKey);
WORD HotKeyFromShortCut(const TShortCut& shortCut);

struct TFileIcon {
    std::wstring FileName;
    int IconIndex = 0;
};

// The path the shell records for the folder kind under
// HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders
// ("Desktop", "Favorites", "Fonts", "Personal", "Programs", "Recent",
// "SendTo", "Start Menu", "Startup", "Templates"); empty for sfNone or when
// the shell records none.
std::wstring ShellFolderPath(TShellFolder folder);

class TPBShellLink {
public:
    TPBShellLink() = default;

    const std::wstring& FileName() const { return fileName_; }
    // Rebased on ShellFolder when one is set; ".lnk" appended when missing.
    void SetFileName(const std::wstring& value);
    TShellFolder ShellFolder() const { return shellFolder_; }
    // A folder other than sfNone rebases the current FileName on it.
    void SetShellFolder(TShellFolder folder);
    TLanguage Language() const { return language_; }
    void SetLanguage(TLanguage language) { language_ = language; }

    std::wstring Target;
    std::wstring Arguments;
    std::wstring Description;
    std::wstring WorkingDir;
    TShowState WindowState = TShowState::Normal;
    TShortCut HotKey;
    TFileIcon FileIcon;

    // Fills every property from the file; "Link not found." without touching
    // the shell when the file does not exist.
    void Load();
    // Writes every property to the file, creating or rewriting it.
    void Save();

private:
    [[noreturn]] void Fail(const wchar_t* english, const wchar_t* french) const;

    std::wstring fileName_;
    TShellFolder shellFolder_ = TShellFolder::sfNone;
    TLanguage language_ = TLanguage::lgFrench;
};
