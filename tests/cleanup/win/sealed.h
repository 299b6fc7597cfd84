#pragma once
// Every test of the cleanup deletes files. Before it does, it makes sure it
// runs in the sealed prefix (scripts/wine-sealed): drive C: alone, the
// program on it, the user's folders folders of their own. A test run
// anywhere else stops before it touches anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#define ASSERT_SEALED()                                                     \
    do {                                                                    \
        std::wstring why = SealedPrefixFault();                             \
        ASSERT_TRUE(why.empty()) << "not in the sealed prefix: " << why;    \
    } while (0)

// Empty in the sealed prefix; otherwise what gives it away.
std::wstring SealedPrefixFault();

// A fresh folder of the test under C:\testy (removed first when it exists).
std::filesystem::path FreshFolder(const std::wstring& name);

// Writes bytes to a file, making its folders.
void WriteFile(const std::filesystem::path& path, const std::string& bytes = "x");
