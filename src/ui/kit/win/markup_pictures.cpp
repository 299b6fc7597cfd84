#include "ui/kit/win/markup_pictures.h"

#include <shellapi.h>

#include <map>
#include <string>

#include "ui/kit/markup.h"

namespace {

bool Starts(std::wstring_view text, std::wstring_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (towlower(text[i]) != prefix[i]) return false;
    return true;
}

// A picture in an image list (the control's own or the shell's), or an icon
// of the file itself.
struct ListPicture {
    HIMAGELIST list = nullptr;
    int index = -1;
    HICON icon = nullptr;
};

// Files of these types show their own first icon in the shell (their
// registered icon is "%1"). Their pictures are taken from the file itself:
// an association missing from the system (as in a fresh Wine prefix) would
// otherwise give every program the generic program icon.
bool HasOwnIcon(const std::wstring& path) {
    size_t dot = path.find_last_of(L".\\/");
    if (dot == std::wstring::npos || path[dot] != L'.') return false;
    std::wstring ext = path.substr(dot);
    for (wchar_t& c : ext) c = static_cast<wchar_t>(towlower(c));
    return ext == L".exe" || ext == L".ico" || ext == L".scr";
}

ListPicture ShellIcon(std::wstring_view what, bool small) {
    static std::map<std::wstring, ListPicture> cache;
    std::wstring key = (small ? L"s" : L"l") + std::wstring(what);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() > 4096) {
        for (auto& [name, p] : cache)
            if (p.icon) DestroyIcon(p.icon);
        cache.clear();
    }
    UINT size = small ? SHGFI_SMALLICON : SHGFI_LARGEICON;
    SHFILEINFOW info{};
    ListPicture picture;
    int number = ParseMarkupInt(what, -1);
    if (number >= 0) {
        picture.list = reinterpret_cast<HIMAGELIST>(
            SHGetFileInfoW(L"C:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | size));
        picture.index = picture.list && number < ImageList_GetImageCount(picture.list) ? number : -1;
    } else {
        std::wstring path(what);
        DWORD attributes = GetFileAttributesW(path.c_str());
        bool file = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        if (file && HasOwnIcon(path))
            ExtractIconExW(path.c_str(), 0, small ? nullptr : &picture.icon, small ? &picture.icon : nullptr, 1);
        if (!picture.icon) {
            UINT flags = SHGFI_SYSICONINDEX | size;
            // A path that does not exist still shows the icon of its file type.
            if (attributes == INVALID_FILE_ATTRIBUTES) {
                flags |= SHGFI_USEFILEATTRIBUTES;
                attributes = path.empty() || path.back() == L'\\' ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
            }
            picture.list = reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(path.c_str(), attributes, &info, sizeof(info), flags));
            picture.index = picture.list ? info.iIcon : -1;
        }
    }
    cache.emplace(std::move(key), picture);
    return picture;
}

HBITMAP CachedBitmap(std::wstring_view name, bool resource, bool checkFile) {
    static std::map<std::wstring, HBITMAP> cache;
    std::wstring key = (resource ? L"r" : L"f") + std::wstring(name);
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    const std::wstring file(name);
    HBITMAP bitmap = nullptr;
    if (resource) {
        bitmap = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), file.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    } else if (!checkFile || GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
        bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    }
    // Files are not remembered when missing: they may appear later.
    if (bitmap || resource) cache.emplace(std::move(key), bitmap);
    return bitmap;
}

struct Resolved {
    ListPicture inList;
    HBITMAP bitmap = nullptr;
};

Resolved Resolve(std::wstring_view source, const MarkupPictureSource& from) {
    Resolved r;
    if (Starts(source, L"idx:")) {
        int index = ParseMarkupInt(source.substr(4), -1);
        if (from.images && index >= 0 && index < ImageList_GetImageCount(from.images)) r.inList = {from.images, index};
    } else if (Starts(source, L"ssys:")) {
        r.inList = ShellIcon(source.substr(5), true);
    } else if (Starts(source, L"lsys:")) {
        r.inList = ShellIcon(source.substr(5), false);
    } else if (Starts(source, L"res://")) {
        r.bitmap = CachedBitmap(source.substr(6), true, true);
    } else if (Starts(source, L"file://")) {
        r.bitmap = CachedBitmap(source.substr(7), false, from.checkFiles);
    }
    return r;
}

}  // namespace

MarkupSize MarkupPictureSize(std::wstring_view source, const MarkupPictureSource& from) {
    Resolved r = Resolve(source, from);
    if (r.inList.icon) {
        ICONINFO ii{};
        if (!GetIconInfo(r.inList.icon, &ii)) return {};
        BITMAP bm{};
        GetObjectW(ii.hbmMask, sizeof(bm), &bm);
        // A mask without a colour bitmap holds both halves, one above the other.
        int height = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        if (ii.hbmColor) DeleteObject(ii.hbmColor);
        DeleteObject(ii.hbmMask);
        return {bm.bmWidth, height};
    }
    if (r.inList.list && r.inList.index >= 0) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(r.inList.list, &cx, &cy);
        return {cx, cy};
    }
    if (r.bitmap) {
        BITMAP bm{};
        GetObjectW(r.bitmap, sizeof(bm), &bm);
        return {bm.bmWidth, bm.bmHeight};
    }
    return {};
}

void DrawMarkupPicture(HDC dc, std::wstring_view source, const RECT& r, const MarkupPictureSource& from) {
    Resolved p = Resolve(source, from);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (p.inList.icon) {
        DrawIconEx(dc, r.left, r.top, p.inList.icon, w, h, 0, nullptr, DI_NORMAL);
        return;
    }
    if (p.inList.list && p.inList.index >= 0) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(p.inList.list, &cx, &cy);
        if (cx == w && cy == h) {
            ImageList_Draw(p.inList.list, p.inList.index, dc, r.left, r.top, ILD_TRANSPARENT);
        } else if (HICON icon = ImageList_GetIcon(p.inList.list, p.inList.index, ILD_TRANSPARENT)) {
            DrawIconEx(dc, r.left, r.top, icon, w, h, 0, nullptr, DI_NORMAL);
            DestroyIcon(icon);
        }
        return;
    }
    if (p.bitmap) {
        BITMAP bm{};
        GetObjectW(p.bitmap, sizeof(bm), &bm);
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, p.bitmap);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, r.left, r.top, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
}
