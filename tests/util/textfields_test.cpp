#include "util/textfields.h"

#include <gtest/gtest.h>

#include "util/textmarkup.h"

TEST(FieldAt, Fields) {
    EXPECT_EQ(FieldAt(L':', 1, L"12:30:00"), L"12");
    EXPECT_EQ(FieldAt(L':', 3, L"12:30:00"), L"00");
    EXPECT_EQ(FieldAt(L':', 4, L"12:30:00"), L"");
    EXPECT_EQ(FieldAt(L':', 0, L"12:30:00"), L"");
    EXPECT_EQ(FieldAt(L'|', 2, L"a||c"), L"");
    EXPECT_EQ(FieldAt(L'|', 1, L""), L"");
}

TEST(ListItemAt, PrefersAnEqualsSignAnywhereLater) {
    EXPECT_EQ(ListItemAt(1, L"a;b;c"), L"a");
    EXPECT_EQ(ListItemAt(2, L"a;b;c"), L"b");
    EXPECT_EQ(ListItemAt(3, L"a;b;c"), L"c");
    EXPECT_EQ(ListItemAt(4, L"a;b;c"), L"");
    EXPECT_EQ(ListItemAt(1, L"k1=v1;k2=v2"), L"k1");
    EXPECT_EQ(ListItemAt(2, L"k1=v1;k2=v2"), L"v1");
    EXPECT_EQ(ListItemAt(3, L"k1=v1;k2=v2"), L"v2");
}

TEST(HiddenData, BetweenTheMarks) {
    EXPECT_EQ(HiddenData(L"<b>Papirek</b><z>c:\\tev\\papirek.exe</z>"), L"c:\\tev\\papirek.exe");
    EXPECT_EQ(HiddenData(L"x<Z>klucz</Z>"), L"klucz");
    EXPECT_EQ(HiddenData(L"<z></z>"), L"");
    EXPECT_EQ(HiddenData(L"</z>x<z>y"), L"");
    EXPECT_EQ(HiddenData(L"bez danych"), L"");
    EXPECT_EQ(HiddenData(L"<z>bez końca"), L"");
}
