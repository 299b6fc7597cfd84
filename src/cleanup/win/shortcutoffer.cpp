#include "cleanup/win/shortcutoffer.h"

#include "cleanup/win/shelllink.h"
#include "interact/ask.h"
#include "util/paths.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

// The long form, so that a target recorded by its short name is the same file.
std::wstring LongForm(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetLongPathNameW(path.c_str(), buffer, static_cast<DWORD>(std::size(buffer)));
    return n > 0 && n < std::size(buffer) ? std::wstring(buffer, n) : path;
}

void OfferIn(TShellFolder place, const std::wstring& productName, const std::wstring& exePath) {
    // Without the shell's folder there is no place to offer: never a name
    // relative to whatever folder is current.
    const std::wstring folder = ShellFolderPath(place);
    if (folder.empty() || !DirectoryExists(folder)) return;
    TPBShellLink link;
    link.SetShellFolder(place);
    link.SetFileName(productName);
    const std::wstring path = link.FileName();
    if (path.empty()) return;

    if (FileExists(path)) {
        bool readable = true;
        try {
            link.Load();
        } catch (const EPBShellLink&) {
            readable = false;
        }
        const bool same = readable && (SameTextNoCase(link.Target, exePath) ||
                                       SameTextNoCase(LongForm(link.Target), LongForm(exePath)));
        if (!same &&
            Ask(L"Znalazłem skrót do programu, ale wskazuje na inny plik, niż powinien. Poprawić?\r\n\tprogram: " +
                    productName + L"\r\nlokalizacja skrótu: " + folder + L"\r\nplik: " + link.Target,
                Question::Destructive)) {
            link.Description = productName;
            link.Target = exePath;
            try {
                link.Save();
            } catch (const EPBShellLink&) {
            }
        }
    } else if (Ask(L"Czy stworzyć automatycznie skrót do programu?\r\nlokalizacja: skrótu: " + folder +
                   L"\r\nprogram: " + productName)) {
        TPBShellLink fresh;
        fresh.SetFileName(path);
        fresh.Description = productName;
        fresh.Target = exePath;
        try {
            fresh.Save();
        } catch (const EPBShellLink&) {
        }
    }
    if (FileExists(path)) RegWriteString(kCurrentUser, kShortcutsKey, productName, path);
}

}  // namespace

void OfferShortcuts(const std::wstring& productName, const std::wstring& exePath) {
    if (productName.empty()) return;
    if (!ContainsNoCase(L"vorozide", exePath)) OfferIn(TShellFolder::sfDesktop, productName, exePath);
    OfferIn(TShellFolder::sfStartMenu, productName, exePath);
}
