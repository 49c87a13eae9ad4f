#include "text/fixed_width.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>


namespace tonnage {
namespace {

TEST(PadText, PadsEitherSideAndNeverTruncates) {
    EXPECT_EQ(PadText("AB", 5, PadSide::Right), "AB   ");
    EXPECT_EQ(PadText("AB", 5, PadSide::Left), "   AB");
    EXPECT_EQ(PadText("ABCDEFG", 5, PadSide::Left), "ABCDEFG");
    EXPECT_EQ(PadText("", 3, PadSide::Right), "   ");
}

TEST(ParseLeadingNumber, TakesTheLeadingNumericPart) {
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("  812.6"), 812.6);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("000012"), 12.0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("-5.25KG"), -5.25);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("+7"), 7.0);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseLeadingNumber("1,500"), 1.0);  // the comma ends the number
    EXPECT_EQ(ParseLeadingNumber(""), 0.0);
    EXPECT_EQ(ParseLeadingNumber("ABC"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("-"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("."), 0.0);
    EXPECT_EQ(ParseLeadingNumber(std::string(400, '9')), 0.0);  // beyond double range
}

// The quick path for short decimals must give the very double the full
// conversion gives, at every length around its 15-digit limit.
TEST(ParseLeadingNumber, GivesTheCorrectlyRoundedDoubleOfEveryDecimal) {
    std::mt19937_64 random(81);
    auto digits = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + random() % 10));
        return s;
    };
    for (int i = 0; i < 200000; ++i) {
        const int whole = static_cast<int>(random() % 12);
        const int fraction = static_cast<int>(random() % 12);
        std::string text = digits(whole);
        if (fraction > 0 || random() % 2) text += "." + digits(fraction);
        if (text.find_first_of("0123456789") == std::string::npos) continue;
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected, std::chars_format::fixed);
        ASSERT_EQ(ParseLeadingNumber(text), expected) << text;
        ASSERT_EQ(ParseLeadingNumber("-" + text), -expected) << text;
    }
    for (const char* text : {"0.1", "0.3", "2.675", "1.0005", "123456789012345", "1234567890123456",
                             "9007199254740993", "0.000000000000000000000001", "99999.9995",
                             "000000000000000000012.5", "5."}) {
        double expected = 0;
        std::from_chars(text, text + std::strlen(text), expected, std::chars_format::fixed);
        EXPECT_EQ(ParseLeadingNumber(text), expected) << text;
    }
}

TEST(FormatMask, RoundsTheFifteenDigitDecimalHalfAwayFromZero) {
    // Values not exact in binary round as the decimal a person would write.
    EXPECT_EQ(FormatMask(2.675, "####0.00"), "2.68");
    EXPECT_EQ(FormatMask(1.0005, "####0.000"), "1.001");
    EXPECT_EQ(FormatMask(20001.0 / 2000.0, "####0.000"), "10.001");
    EXPECT_EQ(FormatMask(99999.9995, "####0.000"), "100000.000");
    EXPECT_EQ(FormatMask(0.125, "####0.00"), "0.13");
    EXPECT_EQ(FormatMask(-0.125, "####0.00"), "-0.13");
    EXPECT_EQ(FormatMask(812.5, "####0"), "813");
    EXPECT_EQ(FormatMask(-812.5, "####0"), "-813");
    EXPECT_EQ(FormatMask(0.1 + 0.2, "####0.000"), "0.300");
    EXPECT_EQ(FormatMask(1176.4705882, "####0"), "1176");
}

TEST(FormatMask, HonoursRequiredDigitsAndNeverCutsTheIntegerPart) {
    EXPECT_EQ(FormatMask(12, "000000"), "000012");
    EXPECT_EQ(FormatMask(1234567, "000000"), "1234567");
    EXPECT_EQ(FormatMask(2.65, "0.0000"), "2.6500");
    EXPECT_EQ(FormatMask(10.25, "0.0000"), "10.2500");
    EXPECT_EQ(FormatMask(0, "##0.0000"), "0.0000");
    EXPECT_EQ(FormatMask(7, "##0"), "7");
    EXPECT_EQ(FormatMask(0.5, "#.00"), ".50");
    EXPECT_EQ(FormatMask(123456789012.0, "####0"), "123456789012");
    EXPECT_EQ(FormatMask(1e20, "####0"), "100000000000000000000");
    EXPECT_EQ(FormatMask(0.0004, "####0.000"), "0.000");
    EXPECT_EQ(FormatMask(-0.0004, "####0.000"), "0.000");  // no "-0.000"
    EXPECT_EQ(FormatMask(-0.0, "0.0000"), "0.0000");
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(812.5), 812.0);
    EXPECT_EQ(RoundHalfEven(813.5), 814.0);
    EXPECT_EQ(RoundHalfEven(812.6), 813.0);
    EXPECT_EQ(RoundHalfEven(812.4999), 812.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
}

TEST(FormatAmount, MasksByDecimalsAndRightAligns) {
    EXPECT_EQ(FormatAmount(15000, 10, 3), " 15000.000");
    EXPECT_EQ(FormatAmount(117.647, 6, 0), "   118");
    EXPECT_EQ(FormatAmount(5.0, 6, 2), "  5.00");
    EXPECT_EQ(FormatAmount(1234567.891, 6, 2), "1234567.89");
    EXPECT_EQ(FormatAmount(12.5, 4, 7), "  13");  // unknown decimals act as 0
}

TEST(D3, KeepsThreeDecimals) {
    EXPECT_DOUBLE_EQ(D3(12.5 * 2000), 25000.0);
    EXPECT_DOUBLE_EQ(D3(1.0005), 1.001);
    EXPECT_DOUBLE_EQ(D3(23.4567), 23.457);
}

TEST(Text, UpperCasesAsciiAndLatin1LettersOnly) {
    EXPECT_EQ(ToUpper("abc xyz 12/05"), "ABC XYZ 12/05");
    EXPECT_EQ(ToUpper("\xE9\xF7\xFF\xDF"), "\xC9\xF7\xFF\xDF");  // e-acute, division, y-diaeresis, sharp s
    EXPECT_EQ(TrimBlanks("  A B  "), "A B");
    EXPECT_EQ(TrimBlanks("    "), "");
    EXPECT_EQ(TrimRightBlanks(" A  "), " A");
    EXPECT_EQ(Columns("CST81 1234567", 7, 13), "1234567");
    EXPECT_EQ(Columns("CST81", 7, 13), "");
    EXPECT_EQ(Columns("CST81 12", 7, 13), "12");
    EXPECT_EQ(ColumnsFrom("* 0 2.6500 BOOK", 12), "BOOK");
}

}  // namespace
}  // namespace tonnage
