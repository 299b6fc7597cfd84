#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/scripted_responder.h"
#include "util/paths.h"
#include "util/win/files.h"
#include "util/win/logs.h"

namespace {

std::string Bytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Logs, DatedLinesBesideTheProgram) {
    ScriptedResponder responder;
    responder.now = 46366.5 + 61.0 / 86400;  // 10 December 2026, 12:01:01
    const std::wstring name = L"archiwin-test-" + std::to_wstring(GetCurrentProcessId()) + L".log";
    const std::wstring beside = DirectoryPart(ProgramFile()) + name;
    ASSERT_TRUE(AppendLog(name, L"pierwszy wpis"));
    ASSERT_TRUE(AppendLog(beside, L"drugi wpis"));
    EXPECT_EQ(Bytes(beside), "10-12-2026 12:01:01 - pierwszy wpis\r\n10-12-2026 12:01:01 - drugi wpis\r\n");
    DeleteFileW(beside.c_str());

    const std::wstring programLog = ProgramFile() + L".log";
    const std::string before = Bytes(programLog);
    const std::wstring runBefore = ProgramLogText();
    ASSERT_TRUE(ProgramLog(L"Odtworzono zestaw danych"));
    EXPECT_EQ(Bytes(programLog), before + "10-12-2026 12:01:01 - Odtworzono zestaw danych\r\n");
    EXPECT_EQ(ProgramLogText(), runBefore + L"10-12-2026 12:01:01 - Odtworzono zestaw danych\r\n");
    if (before.empty()) DeleteFileW(programLog.c_str());
}

}  // namespace
