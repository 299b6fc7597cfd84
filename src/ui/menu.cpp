#include "ui/menu.h"

#include "ui/application.h"
#include "ui/form.h"

MenuItem& PopupMenu::Add(std::wstring name, std::wstring caption, std::function<void()> onClick, UINT shortcut) {
    items_.push_back({std::move(name), std::move(caption), std::move(onClick), shortcut});
    return items_.back();
}

MenuItem* PopupMenu::Find(const std::wstring& name) {
    for (auto& i : items_)
        if (i.name == name) return &i;
    return nullptr;
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
    for (size_t i = 0; i < items_.size(); ++i) {
        const MenuItem& item = items_[i];
        if (!item.visible) continue;
        if (item.caption == L"-") {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        std::wstring text = item.caption;
        if (item.shortcut) text += L"\t" + ShortcutText(item.shortcut);
        UINT flags = MF_STRING | (item.enabled ? 0 : MF_GRAYED) | (item.checked ? MF_CHECKED : 0);
        AppendMenuW(menu, flags, i + 1, text.c_str());
    }
    HWND owner = App().ActiveForm() ? App().ActiveForm()->Handle() : GetActiveWindow();
    SetForegroundWindow(owner);
    UINT cmd = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    if (cmd > 0 && cmd <= items_.size() && items_[cmd - 1].onClick) items_[cmd - 1].onClick();
}

bool PopupMenu::HandleShortcut(WPARAM key) {
    UINT pressed = static_cast<UINT>(key & 0xFF);
    if (GetKeyState(VK_CONTROL) < 0) pressed |= MenuCtrl;
    if (GetKeyState(VK_SHIFT) < 0) pressed |= MenuShift;
    if (GetKeyState(VK_MENU) < 0) pressed |= MenuAlt;
    for (auto& item : items_) {
        if (item.shortcut && item.shortcut == pressed && item.enabled && item.visible && item.onClick) {
            item.onClick();
            return true;
        }
    }
    return false;
}
