// The sealed prefix (scripts/wine-sealed): the program runs from drive C: and
// no drive shows the host's file system, so a test that searches or cleans
// "every drive" or "the program's drive" stays inside the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include "prefix_folders.h"
#include "util/textcase.h"
#include "util/win/files.h"

namespace {

TEST(SealedPrefix, DriveCIsTheOnlyDriveAndTheProgramRunsFromIt) {
    EXPECT_EQ(DriveLetters(), L"C");
    EXPECT_TRUE(StartsWithNoCase(L"c:\\", ProgramDir())) << ProgramDir();
    // The host's root would show its system folders.
    for (const wchar_t* hostFolder : {L"C:\\etc", L"C:\\usr", L"C:\\proc"})
        EXPECT_EQ(GetFileAttributesW(hostFolder), INVALID_FILE_ATTRIBUTES) << hostFolder;
}

}  // namespace
