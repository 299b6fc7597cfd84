// The user's folders belong to the prefix the tests run in. Wine links them
// to the host's home when it makes a prefix; a test (or a person trying the
// program) that writes to the desktop or the documents would write there.
// Wine shows such a link as a reparse point.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "prefix_folders.h"
#include "util/textcase.h"

namespace {

TEST(Prefix, ProfileFoldersAreFoldersOfTheirOwn) {
    wchar_t profile[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableW(L"USERPROFILE", profile, MAX_PATH));
    std::set<std::pair<DWORD, DWORD>> identities;
    for (const ProfileFolder& folder : UserProfileFolders()) {
        SCOPED_TRACE(folder.name);
        ASSERT_FALSE(folder.path.empty());
        EXPECT_TRUE(StartsWithNoCase(profile, folder.path)) << folder.path;
        DWORD attributes = GetFileAttributesW(folder.path.c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder.path;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << folder.path;
        EXPECT_FALSE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << folder.path << " leads elsewhere";

        HANDLE handle = CreateFileW(folder.path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE) << folder.path;
        BY_HANDLE_FILE_INFORMATION info{};
        ASSERT_TRUE(GetFileInformationByHandle(handle, &info));
        CloseHandle(handle);
        EXPECT_TRUE(identities.insert({info.nFileIndexHigh, info.nFileIndexLow}).second)
            << folder.path << " is the same folder as another profile folder";
    }
}

}  // namespace
