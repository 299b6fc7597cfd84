// Random patterns and inputs: the formatter and the parsers must answer every
// input with a text or their documented fallback, never with an exception or
// a read outside their input.
#include <gtest/gtest.h>

#include <random>

#include "util/amounts.h"
#include "util/lastmodified.h"
#include "util/safeformat.h"
#include "util/textmarkup.h"

namespace {
std::wstring RandomText(std::mt19937& rng, std::wstring_view alphabet, size_t maxLength) {
    std::wstring s(rng() % (maxLength + 1), L' ');
    for (auto& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
}
}  // namespace

TEST(Robustness, SafeFormatNeverThrows) {
    std::mt19937 rng(1250);
    const std::vector<FormatArg> args = {-12, 3.75, L"tekst", FormatArg::Scaled(-123456789, 4),
                                         static_cast<const void*>(&rng), 1e300, -0.0};
    for (int i = 0; i < 20000; ++i) {
        const std::wstring pattern = RandomText(rng, L"%%%:-.0123456789sdxXfngpSDqa ", 12);
        std::vector<FormatArg> some(args.begin(), args.begin() + rng() % (args.size() + 1));
        EXPECT_NO_THROW(SafeFormat(pattern, some)) << pattern;
    }
}

TEST(Robustness, ParsersNeverThrow) {
    std::mt19937 rng(1250);
    for (int i = 0; i < 20000; ++i) {
        const std::wstring text = RandomText(rng, L"0123456789,.- złgrZŁGR9", 24);
        EXPECT_NO_THROW(ParseAmountText(text, -1)) << text;
        const std::wstring header = RandomText(rng, L"0123456789: ,GMTjanocdecLast-Modified", 40);
        EXPECT_NO_THROW(ParseLastModified(header)) << header;
        std::wstring markup = RandomText(rng, L"<>/brhzZ&lt;gt ._\r\n", 40);
        EXPECT_NO_THROW(MarkupToText(markup, i % 2 == 0)) << markup;
        EXPECT_NO_THROW(HiddenData(markup));
    }
}
