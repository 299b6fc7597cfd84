#pragma once
// The pictures of "<img src=...>": "idx:N" from the control's image list,
// "ssys:"/"lsys:" the shell's small or large icon of a path (or an index in
// the shell's icon list; a program shows its own icon), "res://" a bitmap resource of the program,
// "file://" a bitmap file. Shell icon indexes and bitmaps are cached, so a
// list of a thousand items does not ask the shell a thousand times.
#include <windows.h>
#include <commctrl.h>

#include <string_view>

#include "ui/kit/markup_layout.h"

struct MarkupPictureSource {
    HIMAGELIST images = nullptr;  // the control's image list, for "idx:"
    bool checkFiles = true;       // false: "file://" loads without looking first
};

// Natural size in pixels; {0, 0} when the picture does not exist.
MarkupSize MarkupPictureSize(std::wstring_view source, const MarkupPictureSource& from);

// Draws the picture stretched into r; nothing when it does not exist.
void DrawMarkupPicture(HDC dc, std::wstring_view source, const RECT& r, const MarkupPictureSource& from);
