#include <gtest/gtest.h>

#include "util/sizetext.h"

TEST(SizeText, Thresholds) {
    struct Case { std::int64_t bytes; const wchar_t *shortForm, *longForm, *precise; };
    for (const Case& c : std::initializer_list<Case>{
             {-1, L"-1 B", L"-1 bajtów", L"-1 B"},
             {0, L"0 B", L"0 bajtów", L"0 B"},
             {1024, L"1024 B", L"1024 bajtów", L"1024 B"},
             {1025, L"1,0 kB", L"1,0 kilobajtów", L"1,00 kB"},
             {1536, L"1,5 kB", L"1,5 kilobajtów", L"1,50 kB"},
             {1048576, L"1024,0 kB", L"1024,0 kilobajtów", L"1024,00 kB"},
             {1048577, L"1,0 MB", L"1,0 megabajtów", L"1,00 MB"},
             {1073741824, L"1024,0 MB", L"1024,0 megabajtów", L"1024,00 MB"},
             {1073741825, L"1,0 GB", L"1,0 gigabajtów", L"1,00 GB"},
             {5368709120, L"5,0 GB", L"5,0 gigabajtów", L"5,00 GB"},  // beyond 32 bits
         }) {
        EXPECT_EQ(SizeText(c.bytes, false), c.shortForm) << c.bytes;
        EXPECT_EQ(SizeText(c.bytes, true), c.longForm) << c.bytes;
        EXPECT_EQ(SizeTextPrecise(c.bytes), c.precise) << c.bytes;
    }
}
