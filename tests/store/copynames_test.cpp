#include <gtest/gtest.h>

#include "store/copynames.h"
#include "util/calendar.h"

namespace {

DateTimeValue At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return *EncodeDate(y, mo, d) + *EncodeTime(h, mi, s);
}

TEST(CopyNames, SmallCopyPeriods) {
    const struct {
        DateTimeValue day;
        const wchar_t* name;
    } cases[] = {
        {At(2002, 6, 19, 22, 22, 17), L"C:\\Dane\\Kopia 244 Faktury.dat"},
        {At(2010, 1, 5), L"C:\\Dane\\Kopia 107 Faktury.dat"},
        // A period ends on the 6th, 13th, 20th and 27th and at the month's end.
        {At(2026, 12, 6, 23, 59, 59), L"C:\\Dane\\Kopia 2684 Faktury.dat"},
        {At(2026, 12, 7), L"C:\\Dane\\Kopia 2685 Faktury.dat"},
        {At(2026, 12, 31), L"C:\\Dane\\Kopia 2688 Faktury.dat"},
        {At(2027, 1, 1), L"C:\\Dane\\Kopia 277 Faktury.dat"},
        {At(2000, 3, 28), L"C:\\Dane\\Kopia 025 Faktury.dat"},
    };
    for (const auto& c : cases) EXPECT_EQ(SmallCopyName(L"C:\\Dane\\Faktury.dat", c.day), c.name);
    EXPECT_EQ(SmallCopyMask(L"C:\\Dane\\Faktury.dat"), L"C:\\Dane\\Kopia * Faktury.dat");
}

TEST(CopyNames, EmergencyCopiesLieBesideTheDataFile) {
    const DateTimeValue moment = At(2002, 6, 19, 22, 22, 17);
    EXPECT_EQ(LoadEmergencyCopyName(L"C:\\Dane\\Faktury.dat", moment, 42),
              L"C:\\Dane\\_akz_020619_222217_42Faktury.dat.akz");
    EXPECT_EQ(LoadEmergencyCopyName(L"D:\\x\\K.dat", At(2009, 1, 2, 3, 4, 5), 0), L"D:\\x\\_akz_090102_030405_0K.dat.akz");
    EXPECT_EQ(SaveEmergencyCopyName(L"C:\\Dane\\Faktury.dat", moment), L"C:\\Dane\\Faktury.dat.akz.20020619.222217");
    EXPECT_EQ(PendingSaveName(L"C:\\Dane\\Faktury.dat", 1234), L"C:\\Dane\\~Faktury.dat.1234.zapis");
}

}  // namespace
