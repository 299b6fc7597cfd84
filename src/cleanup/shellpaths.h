#pragma once
// Path rules of the shell components: the file name of a shortcut, and the
// list of paths the shell's file operation takes.
#include <optional>
#include <string>
#include <vector>

// "X:\..." (a drive letter, a colon and a backslash) or "\\server\share...".
bool IsAbsolutePath(const std::wstring& path);

// The shell's list of paths: each path followed by a NUL, the list ended by
// one more NUL. nullopt when the list is empty or an entry is not an
// absolute path (a relative one would be taken from whatever folder is
// current) or holds a NUL itself.
std::optional<std::wstring> ShellPathList(const std::vector<std::wstring>& paths);

// The file name of a shortcut: value rebased on folder when folder is not
// empty (folder + "\" + the value's file-name part), with ".lnk" appended
// unless it ends so (any case). A value whose file-name part is ".lnk" alone,
// or that is empty, gives an empty name.
std::wstring ShortcutFileName(const std::wstring& value, const std::wstring& folder);
