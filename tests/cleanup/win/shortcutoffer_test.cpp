// The first run's shortcut offer, on the sealed prefix's own desktop and
// Start menu.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "../../util/win/guards.h"
#include "cleanup/win/shelllink.h"
#include "cleanup/win/shortcutoffer.h"
#include "sealed.h"
#include "support/scripted_responder.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/identity.h"
#include "util/win/registry.h"

namespace {

constexpr wchar_t kProduct[] = L"Archiwin próba skrótu";

class ShortcutOffer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_SEALED();
        desktop_ = ShellFolderPath(TShellFolder::sfDesktop) + L"\\" + kProduct + L".lnk";
        menu_ = ShellFolderPath(TShellFolder::sfStartMenu) + L"\\" + kProduct + L".lnk";
        ASSERT_FALSE(ShellFolderPath(TShellFolder::sfDesktop).empty());
        ASSERT_FALSE(ShellFolderPath(TShellFolder::sfStartMenu).empty());
        Remove();
    }
    void TearDown() override { Remove(); }
    void Remove() {
        DeleteFileW(desktop_.c_str());
        DeleteFileW(menu_.c_str());
    }
    static std::wstring TargetOf(const std::wstring& path) {
        TPBShellLink link;
        link.SetFileName(path);
        link.Load();
        return link.Target;
    }

    RegistryValueGuard recorded_{HKEY_CURRENT_USER, kShortcutsKey, kProduct};
    ScriptedResponder script;
    std::wstring desktop_, menu_;
};

TEST_F(ShortcutOffer, CreatesWhatTheUserAcceptsAndRecordsIt) {
    script.Answer(1).Answer(2);
    OfferShortcuts(kProduct, ExecutablePath());
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[0].headline, L"Czy stworzyć automatycznie skrót do programu?");
    EXPECT_FALSE(script.shown[0].message.destructive);
    ASSERT_TRUE(FileExists(desktop_));
    EXPECT_TRUE(SameTextNoCase(TargetOf(desktop_), ExecutablePath()));
    EXPECT_FALSE(FileExists(menu_));
    EXPECT_EQ(RegReadValue(kCurrentUser, kShortcutsKey, kProduct, L""), desktop_);

    // A second run finds both places as they are: only the missing one is offered.
    script.shown.clear();
    script.Answer(1);
    OfferShortcuts(kProduct, ExecutablePath());
    EXPECT_EQ(script.shown.size(), 1u);
    EXPECT_TRUE(FileExists(menu_));
    EXPECT_EQ(RegReadValue(kCurrentUser, kShortcutsKey, kProduct, L""), menu_);
}

// A shortcut to another file is the user's: left alone, the question keeps it.
TEST_F(ShortcutOffer, ASkewedShortcutIsRewrittenOnlyOnTheUsersWord) {
    const std::wstring other = L"C:\\windows\\notepad.exe";
    for (const std::wstring& path : {desktop_, menu_}) {
        TPBShellLink link;
        link.SetFileName(path);
        link.Target = other;
        link.Save();
    }
    script.Unanswered().Answer(1);
    OfferShortcuts(kProduct, ExecutablePath());
    ASSERT_EQ(script.shown.size(), 2u);
    for (const Shown& s : script.shown) {
        EXPECT_TRUE(s.message.destructive);
        EXPECT_EQ(s.headline, L"Znalazłem skrót do programu, ale wskazuje na inny plik, niż powinien. Poprawić?");
        EXPECT_TRUE(ContainsNoCase(L"notepad.exe", s.body)) << s.body;
    }
    EXPECT_TRUE(SameTextNoCase(TargetOf(desktop_), other));
    EXPECT_TRUE(SameTextNoCase(TargetOf(menu_), ExecutablePath()));
}

// The cleanup tool gets no desktop shortcut.
TEST_F(ShortcutOffer, TheCleanupToolIsOfferedOnlyTheStartMenu) {
    script.Answer(1);
    OfferShortcuts(kProduct, L"C:\\Program Files\\TEV\\vorozide.exe");
    EXPECT_EQ(script.shown.size(), 1u);
    EXPECT_FALSE(FileExists(desktop_));
    EXPECT_TRUE(FileExists(menu_));
}

}  // namespace
