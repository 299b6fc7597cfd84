#pragma once
// Where a stored name may be written: a path relative to the target folder
// that cannot leave it, whatever the cabinet says.
//
// Both "\" and "/" separate directories. Refused outright: empty names,
// absolute names ("\x", "\\server\share"), drive letters ("C:x"), and any
// "." or ".." component (also in the forms Windows reduces to them, such as
// ".. " or "..."). Made safe: characters Windows forbids in names (control
// characters and <>:"|?*) become "_", trailing dots and spaces (which Windows
// drops) are removed, and device names (CON, NUL, COM1, LPT1, ... with or
// without an extension) get a "_" in front.
#include <filesystem>
#include <optional>
#include <string_view>

std::optional<std::filesystem::path> SafeRelativePath(std::wstring_view storedName);
