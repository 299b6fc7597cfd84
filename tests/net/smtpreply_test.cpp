#include <gtest/gtest.h>

#include "net/smtpreply.h"

namespace {

TEST(SmtpReplyReader, ReadsSingleAndMultiLineReplies) {
    SmtpReplyReader r;
    EXPECT_TRUE(r.Feed("220 poczta.example ESMTP"));
    EXPECT_EQ(r.Reply().code, 220);
    EXPECT_EQ(r.Reply().Text(), "poczta.example ESMTP");

    EXPECT_FALSE(r.Feed("250-poczta.example"));
    EXPECT_FALSE(r.Feed("250-8BITMIME"));
    EXPECT_TRUE(r.Feed("250 SIZE 1000"));
    EXPECT_EQ(r.Reply().code, 250);
    EXPECT_EQ(r.Reply().lines.size(), 3u);
    EXPECT_TRUE(r.Reply().Positive());

    EXPECT_TRUE(r.Feed("502"));
    EXPECT_TRUE(r.Reply().PermanentFailure());
    EXPECT_EQ(r.Reply().lines.size(), 1u);
}

TEST(SmtpReplyReader, RefusesWhatIsNoReply) {
    for (const char* bad : {"", "25", "2500 x", "abc def", "199 za mało", "600 za dużo", "250_x"}) {
        SmtpReplyReader r;
        EXPECT_FALSE(r.Feed(bad)) << bad;
        EXPECT_TRUE(r.Failed()) << bad;
    }
    SmtpReplyReader mixed;
    mixed.Feed("250-a");
    EXPECT_FALSE(mixed.Feed("251 b"));
    EXPECT_TRUE(mixed.Failed());

    SmtpReplyReader endless;
    for (int i = 0; i <= 100; ++i) endless.Feed("250-wiersz");
    EXPECT_TRUE(endless.Failed());
}

}  // namespace
