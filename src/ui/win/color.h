#pragma once
// Colours of the window layer: plain RGB values or references to the
// system's colours (resolved when drawn, so a change of the system scheme
// shows at once). The encoding follows the common convention of desktop
// toolkits: a set high bit marks a system colour index.
#include <windows.h>

#include <cstdint>

using Color = uint32_t;

constexpr Color Rgb(int r, int g, int b) { return static_cast<Color>(r | (g << 8) | (b << 16)); }
constexpr Color SystemColor(int index) { return 0x80000000u | static_cast<Color>(index); }
constexpr bool IsSystemColor(Color c) { return (c & 0x80000000u) != 0; }

inline constexpr Color clNone = 0x1FFFFFFFu;  // "no colour": transparent
inline constexpr Color clWhite = Rgb(255, 255, 255);
inline constexpr Color clBlack = Rgb(0, 0, 0);
inline constexpr Color clNavy = Rgb(0, 0, 128);
inline constexpr Color clBtnFace = SystemColor(COLOR_BTNFACE);
inline constexpr Color clBtnShadow = SystemColor(COLOR_BTNSHADOW);
inline constexpr Color clBtnText = SystemColor(COLOR_BTNTEXT);
inline constexpr Color clWindow = SystemColor(COLOR_WINDOW);
inline constexpr Color clWindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr Color clHighlight = SystemColor(COLOR_HIGHLIGHT);
inline constexpr Color clHighlightText = SystemColor(COLOR_HIGHLIGHTTEXT);
inline constexpr Color clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
inline constexpr Color clBackground = SystemColor(COLOR_BACKGROUND);
inline constexpr Color clGrayText = SystemColor(COLOR_GRAYTEXT);

// The RGB value to draw with.
COLORREF ColorToRgb(Color c);

// A solid brush of the colour, owned by a small cache (never delete it).
HBRUSH BrushOf(Color c);
