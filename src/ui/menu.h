#pragma once
// Popup menus. Captions mark their accelerator with "&"; "-" makes a
// separator. An item may also carry a keyboard shortcut that works while a
// form that lists the menu (Form::AddShortcutMenu) is active.
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

struct MenuItem {
    std::wstring name;
    std::wstring caption;
    std::function<void()> onClick;
    UINT shortcut = 0;  // virtual key | MenuCtrl | MenuShift | MenuAlt; 0 for none
    bool enabled = true;
    bool checked = false;
    bool visible = true;
    std::wstring hint;  // "short|long" text; a clickable label's menu shows it when chosen
    int tag = 0;        // a help context, for the same menus
};

inline constexpr UINT MenuShift = 0x2000;
inline constexpr UINT MenuCtrl = 0x4000;
inline constexpr UINT MenuAlt = 0x8000;

class PopupMenu {
public:
    MenuItem& Add(std::wstring name, std::wstring caption, std::function<void()> onClick = {}, UINT shortcut = 0);
    MenuItem* Find(const std::wstring& name);
    std::vector<MenuItem>& Items() { return items_; }

    // Shows the menu at a screen position and runs the chosen item.
    void Popup(int x, int y);
    // Runs the item with this shortcut, if any; true when one ran.
    bool HandleShortcut(WPARAM key);
    // "Ctrl+S" and the like, as shown beside the caption.
    static std::wstring ShortcutText(UINT shortcut);

private:
    std::vector<MenuItem> items_;
};
