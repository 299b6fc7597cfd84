#include "ui/win/menu.h"

#include <algorithm>

#include "ui/win/form.h"

namespace {

MenuItem* FindIn(std::vector<MenuItem>& items, const std::function<bool(const MenuItem&)>& match) {
    for (MenuItem& item : items) {
        if (match(item)) return &item;
        if (MenuItem* inner = FindIn(item.items, match)) return inner;
    }
    return nullptr;
}

// Appends the visible items; commands[id - 1] is the serial of the item
// with command id.
void Build(HMENU menu, const std::vector<MenuItem>& items, std::vector<unsigned>& commands) {
    for (const MenuItem& item : items) {
        if (!item.visible) continue;
        if (item.caption == L"-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text = item.caption;
        if (item.shortcut) text += L"\t" + PopupMenu::ShortcutText(item.shortcut);
        UINT flags = MF_STRING | (item.enabled ? 0 : MF_GRAYED) | (item.checked ? MF_CHECKED : 0);
        if (!item.items.empty()) {
            HMENU sub = CreatePopupMenu();
            Build(sub, item.items, commands);
            AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
            continue;
        }
        commands.push_back(item.serial);
        AppendMenuW(menu, flags, commands.size(), text.c_str());
        if (item.isDefault) SetMenuDefaultItem(menu, static_cast<UINT>(commands.size()), FALSE);
    }
}

// Items inside a hidden or disabled submenu cannot be reached, nor their
// shortcuts.
MenuItem* ShortcutItem(std::vector<MenuItem>& items, UINT pressed) {
    for (MenuItem& item : items) {
        if (!item.enabled || !item.visible) continue;
        if (item.items.empty()) {
            if (item.shortcut && item.shortcut == pressed && item.onClick) return &item;
        } else if (MenuItem* inner = ShortcutItem(item.items, pressed)) {
            return inner;
        }
    }
    return nullptr;
}

}  // namespace

unsigned MenuItem::NextSerial() {
    static unsigned next = 0;
    return ++next;
}

MenuItem& MenuItem::Add(std::wstring name, std::wstring caption, std::function<void()> onClick, UINT shortcut) {
    items.push_back({std::move(name), std::move(caption), std::move(onClick), shortcut});
    return items.back();
}

PopupMenu::~PopupMenu() {
    // A watcher's handler may unwatch others; work on a copy.
    auto watchers = std::move(watchers_);
    watchers_.clear();
    for (auto& [watcher, onDestroy] : watchers)
        if (onDestroy) onDestroy();
}

MenuItem& PopupMenu::Add(std::wstring name, std::wstring caption, std::function<void()> onClick, UINT shortcut) {
    items_.push_back({std::move(name), std::move(caption), std::move(onClick), shortcut});
    return items_.back();
}

MenuItem* PopupMenu::Find(const std::wstring& name) {
    return FindIn(items_, [&](const MenuItem& i) { return i.name == name; });
}

MenuItem* PopupMenu::FindSerial(unsigned serial) {
    return FindIn(items_, [&](const MenuItem& i) { return i.serial == serial; });
}

void PopupMenu::Watch(const void* watcher, std::function<void()> onDestroy) {
    Unwatch(watcher);
    watchers_.emplace_back(watcher, std::move(onDestroy));
}

void PopupMenu::Unwatch(const void* watcher) {
    std::erase_if(watchers_, [&](const auto& w) { return w.first == watcher; });
}

std::wstring PopupMenu::ShortcutText(UINT shortcut) {
    if (!shortcut) return {};
    std::wstring text;
    if (shortcut & MenuCtrl) text += L"Ctrl+";
    if (shortcut & MenuShift) text += L"Shift+";
    if (shortcut & MenuAlt) text += L"Alt+";
    UINT vk = shortcut & 0xFF;
    if (vk >= VK_F1 && vk <= VK_F24) return text + L"F" + std::to_wstring(vk - VK_F1 + 1);
    wchar_t name[64] = {};
    UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    if (GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 64) > 0) return text + name;
    return text + static_cast<wchar_t>(vk);
}

void PopupMenu::Popup(int x, int y) {
    HMENU menu = CreatePopupMenu();
    std::vector<unsigned> commands;
    Build(menu, items_, commands);
    HWND owner = Form::Active() ? Form::Active()->Handle() : GetActiveWindow();
    SetForegroundWindow(owner);
    UINT cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr);
    DestroyMenu(menu);  // submenus go with it
    if (cmd == 0 || cmd > commands.size()) return;
    // Found again by serial: the menu's loop may have run code that changed
    // the items.
    MenuItem* chosen = FindSerial(commands[cmd - 1]);
    if (chosen && chosen->onClick) {
        auto onClick = chosen->onClick;  // the handler may change the menu
        onClick();
    }
}

bool PopupMenu::HandleShortcut(WPARAM key) {
    UINT pressed = static_cast<UINT>(key & 0xFF);
    if (GetKeyState(VK_CONTROL) < 0) pressed |= MenuCtrl;
    if (GetKeyState(VK_SHIFT) < 0) pressed |= MenuShift;
    if (GetKeyState(VK_MENU) < 0) pressed |= MenuAlt;
    MenuItem* item = ShortcutItem(items_, pressed);
    if (!item) return false;
    auto onClick = item->onClick;
    onClick();
    return true;
}
