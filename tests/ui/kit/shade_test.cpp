#include "ui/kit/shade.h"

#include <gtest/gtest.h>

namespace {

TEST(Shades, ChannelsScaleWithHalvesRoundedToEven) {
    struct Case {
        MarkupColor in, lighter, darker;
    } cases[] = {
        // 10 × 1.05 = 10.5 → 10; 30 × 1.05 = 31.5 → 32; 250 × 1.05 caps at 255.
        {MarkupRgb(10, 30, 250), MarkupRgb(10, 32, 255), MarkupRgb(10, 29, 238)},
        {MarkupRgb(0, 0, 0), MarkupRgb(0, 0, 0), MarkupRgb(0, 0, 0)},
        {MarkupRgb(255, 255, 255), MarkupRgb(255, 255, 255), MarkupRgb(243, 243, 243)},
        {MarkupRgb(100, 11, 21), MarkupRgb(105, 12, 22), MarkupRgb(95, 10, 20)},
        {MarkupRgb(225, 234, 242), MarkupRgb(236, 246, 254), MarkupRgb(214, 223, 230)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LighterRgb(c.in), c.lighter) << std::hex << c.in;
        EXPECT_EQ(DarkerRgb(c.in), c.darker) << std::hex << c.in;
    }
}

}  // namespace
