// The small format rules: DOS stamps, stored-name encodings, and the names
// extraction accepts.
#include "cabinet/dos_time.h"
#include "cabinet/safe_name.h"
#include "cabinet/stored_name.h"
#include "cabinet/cab_types.h"
#include "cabinet/platform_file.h"

#include <gtest/gtest.h>

namespace {

TEST(DosTime, DecodesToDateTimeValue) {
    struct Case {
        uint16_t date, time;
        double expected;
    };
    const Case cases[] = {
        {0x0021, 0x0000, 29221.0},                                  // 1980-01-01 00:00:00
        {static_cast<uint16_t>(20 << 9 | 1 << 5 | 1), 0, 36526.0},  // 2000-01-01
        // 16:30:58 sets the top bit of the time word: read as unsigned.
        {static_cast<uint16_t>(46 << 9 | 12 << 5 | 10), static_cast<uint16_t>(16 << 11 | 30 << 5 | 29),
         46366.0 + (16 * 3600 + 30 * 60 + 58) / 86400.0},
        {static_cast<uint16_t>(20 << 9 | 2 << 5 | 29), 0, 36585.0},  // leap day 2000
    };
    for (const auto& c : cases) EXPECT_NEAR(DosToDateTime({c.date, c.time}), c.expected, 1e-9) << c.date;
}

TEST(DosTime, InvalidStampsGiveNoDate) {
    const DosStamp invalid[] = {
        {0, 0},                                                      // month 0
        {static_cast<uint16_t>(1 << 9 | 13 << 5 | 1), 0},            // month 13
        {static_cast<uint16_t>(21 << 9 | 2 << 5 | 29), 0},           // 2001-02-29
        {0x0021, static_cast<uint16_t>(24 << 11)},                   // 24:00
        {0x0021, static_cast<uint16_t>(60 << 5)},                    // minute 60
        {0x0021, 30},                                                // second 60
    };
    for (const auto& s : invalid) EXPECT_EQ(DosToDateTime(s), 0) << s.date << " " << s.time;
}

TEST(DosTime, LocalRoundTripKeepsTwoSecondSteps) {
    const std::time_t now = 1765000000;  // an even second
    const DosStamp stamp = DosFromUnixLocal(now);
    const auto back = UnixFromDosLocal(stamp);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, now);
    // Dates before 1980 are clamped to the first DOS date.
    EXPECT_EQ(DecodeDos(EncodeDos({1975, 5, 5, 1, 1, 1}))->year, 1980);
}

TEST(StoredName, Windows1250WhenItFitsOtherwiseUtf8) {
    const auto polish = EncodeStoredName(L"Zażółć gęślą jaźń.txt");
    EXPECT_FALSE(polish.utf8);
    EXPECT_EQ(polish.bytes.size(), 21u);
    EXPECT_EQ(DecodeStoredName(polish.bytes, 0x20), L"Zażółć gęślą jaźń.txt");

    const auto other = EncodeStoredName(L"日本語\\Ελληνικά.txt");
    EXPECT_TRUE(other.utf8);
    EXPECT_EQ(DecodeStoredName(other.bytes, 0x80), L"日本語\\Ελληνικά.txt");
}

TEST(StoredName, NameMatchingFoldsOnlyAsciiLetters) {
    EXPECT_TRUE(SameNameAsciiNoCase(L"SUB\\Plik.TXT", L"sub\\plik.txt"));
    EXPECT_FALSE(SameNameAsciiNoCase(L"ŻÓŁW.txt", L"żółw.txt"));
    EXPECT_FALSE(SameNameAsciiNoCase(L"a.txt", L"a.txt2"));
}

TEST(SafeName, KeepsOrdinaryNamesAndMendsOddOnes) {
    struct Case {
        const wchar_t* stored;
        const wchar_t* expected;  // components joined with "/"
    };
    const Case cases[] = {
        {L"a.txt", L"a.txt"},
        {L"sub\\deeper\\a.txt", L"sub/deeper/a.txt"},
        {L"dir1/file1", L"dir1/file1"},
        {L"sub\\\\a.txt", L"sub/a.txt"},
        {L"ab:c*d?|e\"<>.txt", L"ab_c_d__e___.txt"},
        {L"name. . ", L"name"},
        {L"CON", L"_CON"},
        {L"sub\\nul.txt", L"sub/_nul.txt"},
        {L"com1 .log", L"_com1 .log"},
        {L"LPT9", L"_LPT9"},
        {L"CONSOLE.txt", L"CONSOLE.txt"},
        {L"zażółć\\日本.txt", L"zażółć/日本.txt"},
    };
    for (const auto& c : cases) {
        const auto path = SafeRelativePath(c.stored);
        ASSERT_TRUE(path) << WideFromPath(c.stored);
        std::wstring joined;
        for (const auto& part : *path) joined += (joined.empty() ? L"" : L"/") + WideFromPath(part);
        EXPECT_EQ(joined, c.expected);
    }
}

TEST(SafeName, RefusesNamesThatLeaveTheFolder) {
    const wchar_t* refused[] = {
        L"", L"..\\evil.txt", L"sub\\..\\..\\evil.txt", L"../evil", L"\\windows\\evil.dll", L"/etc/passwd",
        L"\\\\server\\share\\x", L"C:\\evil.txt", L"c:evil.txt", L"sub\\.\\a", L"..", L"sub\\.. \\x",
        L"...\\x", L"dir\\",
    };
    for (const wchar_t* name : refused) EXPECT_FALSE(SafeRelativePath(name)) << WideFromPath(name);
}

TEST(Compression, TextForTheRestoreDialog) {
    EXPECT_EQ(CompressionText(CabCompression::FromCode(0)), L"brak");
    EXPECT_EQ(CompressionText(CabCompression::FromCode(1)), L"MSZIP");
    EXPECT_EQ(CompressionText(CabCompression::FromCode(0x1503)), L"LZX (okno 2 MB)");
    EXPECT_EQ(CompressionText(CabCompression::FromCode(0x0F03)), L"LZX (okno 32 KB)");
    EXPECT_EQ(CompressionText(CabCompression::FromCode(2)), L"Quantum");
}

}  // namespace
