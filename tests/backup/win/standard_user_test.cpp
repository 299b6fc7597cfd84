// A standard user, made real twice over: the program runs as an unprivileged
// system user from a Program Files folder that belongs to root (the file
// system refuses the writes; scripts/wine-standard-user), and the registry
// layer refuses machine-wide writes as Windows does for such a user (Wine
// lets every user write there). He backs up a folder with what the program
// proposes and restores a deleted file, and sees no error message.
#include <gtest/gtest.h>

#include "app/win/startup.h"
#include "app/win/temain.h"
#include "backup/win/archivefolder.h"
#include "backup/win/infofile.h"
#include "backup_fixture.h"
#include "support/scripted_responder.h"
#include "util/textcase.h"
#include "util/win/files.h"
#include "util/win/registry.h"

namespace {

// Anything but the questions and reports a backup and a restore ask and
// give: an error shows the stop mark or begins with "Nie".
bool LooksLikeAnError(const Shown& shown) {
    if (shown.kind != L"message") return false;
    return StartsWithNoCase(L"%", shown.headline) || StartsWithNoCase(L"Nie ", shown.headline) ||
           ContainsNoCase(L"Rejestrem", shown.headline);
}

TEST(StandardUser, BacksUpWhatIsProposedAndRestoresWithoutAnErrorMessage) {
    ASSERT_FALSE(CanCreateFilesIn(ProgramDir()))
        << "run through scripts/wine-standard-user: the program folder " << ProgramDir() << " must be read-only";
    RefuseMachineWideWrites(true);
    InstallExceptionHandler();
    EXPECT_EQ(ArchiveFolder(), DocumentsDir());
    EXPECT_FALSE(StartsWithNoCase(ProgramDir(), InfoFilePath())) << InfoFilePath();

    SampleFolder sample;
    const auto original = sample.Contents();
    TeMain main;
    std::wstring archive;
    {
        ScriptedResponder script;
        script.Answer(sample.folder + L"\\").AcceptOffered().Answer(1).Answer(L"kopia użytkownika");
        script.Answer(2).Answer(1).Answer(1);  // MSZIP, then the report
        main.tevClickableLabel3->Click();
        for (const Shown& s : script.shown) EXPECT_FALSE(LooksLikeAnError(s)) << s.headline << "\n" << s.body;
        ASSERT_GE(script.shown.size(), 2u);
        EXPECT_EQ(script.shown[1].kind, L"save");
        archive = script.shown[1].body;  // the proposed name, taken as it is
        EXPECT_TRUE(StartsWithNoCase(DocumentsDir(), archive)) << archive;
        EXPECT_TRUE(FileExists(archive)) << archive;
        EXPECT_EQ(script.shown.back().headline, L"Wykonałem kopię zapasową.");
    }

    DeleteFileW(sample.Path(L"Księgi\\styczeń.txt").c_str());
    {
        ScriptedResponder script;
        script.Answer(archive);
        WhenContentsShown([&](TeZawartoscArchiwum& d) {
            EXPECT_EQ(d.lbDest->Text(), sample.folder);
            script.Answer(1).Answer(1);  // extract the file, the count
            Press(d.tevColorButton2);
        });
        main.tevClickableLabel2->Click();
        for (const Shown& s : script.shown) EXPECT_FALSE(LooksLikeAnError(s)) << s.headline << "\n" << s.body;
        ASSERT_FALSE(script.shown.empty());
        EXPECT_EQ(script.shown[0].kind, L"open");
        EXPECT_TRUE(StartsWithNoCase(DocumentsDir(), script.shown[0].body)) << script.shown[0].body;
    }
    EXPECT_EQ(sample.Contents(), original);
    DeleteFileW(archive.c_str());
    DeleteFileW(InfoFilePath().c_str());
    RefuseMachineWideWrites(false);
}

}  // namespace
