#pragma once
// Popup menus. Captions mark their accelerator with "&"; "-" makes a
// separator. An item with items of its own opens them as a submenu. An item
// may also carry a keyboard shortcut that works while a form that lists the
// menu (Form::AddShortcutMenu) is active.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "ui/win/control.h"

struct MenuItem {
    std::wstring name;
    std::wstring caption;
    std::function<void()> onClick;
    UINT shortcut = 0;  // virtual key | MenuCtrl | MenuShift | MenuAlt; 0 for none
    bool enabled = true;
    bool checked = false;
    bool visible = true;
    bool isDefault = false;  // shown bold, the item Enter would choose
    std::wstring hint;  // "short|long" text; a clickable label's menu shows it when chosen
    int tag = 0;        // a help context, for the same menus
    std::vector<MenuItem> items;  // the submenu, when not empty
    // Tells items apart when names repeat or are empty; copies keep it.
    unsigned serial = NextSerial();

    // Adds an item to this item's submenu.
    MenuItem& Add(std::wstring name, std::wstring caption, std::function<void()> onClick = {}, UINT shortcut = 0);

    static unsigned NextSerial();
};

inline constexpr UINT MenuShift = 0x2000;
inline constexpr UINT MenuCtrl = 0x4000;
inline constexpr UINT MenuAlt = 0x8000;

class PopupMenu : public ContextMenu {
public:
    PopupMenu() = default;
    // Those who keep a pointer to the menu hear of its end (Watch).
    ~PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    MenuItem& Add(std::wstring name, std::wstring caption, std::function<void()> onClick = {}, UINT shortcut = 0);
    // Searches the submenus too.
    MenuItem* Find(const std::wstring& name);
    MenuItem* FindSerial(unsigned serial);
    std::vector<MenuItem>& Items() { return items_; }

    // Shows the menu at a screen position and runs the chosen item.
    void Popup(int x, int y) override;
    // Runs the item with this shortcut, if any; true when one ran.
    bool HandleShortcut(WPARAM key) override;
    // "Ctrl+S" and the like, as shown beside the caption.
    static std::wstring ShortcutText(UINT shortcut);

    // onDestroy runs when the menu is destroyed, unless the watcher (any
    // address that identifies it) has called Unwatch before.
    void Watch(const void* watcher, std::function<void()> onDestroy);
    void Unwatch(const void* watcher);

private:
    std::vector<MenuItem> items_;
    std::vector<std::pair<const void*, std::function<void()>>> watchers_;
};
