#include "IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
std::string Display(const IParameter& p, double v, bool isNormalized, int outSize = 32)
{
    char out[64];
    std::memset(out, 'x', sizeof(out));
    p.FormatDisplay(v, isNormalized, out, outSize);
    return out;
}

IParameter OffOn()
{
    IParameter p;
    p.InitEnumerated("Effect", 1, 2);
    p.AddDisplayText(0, "Off");
    p.AddDisplayText(1, "On");
    return p;
}
} // namespace

TEST(IParameter, DisplayPrecisionFollowsTheStep)
{
    const struct
    {
        double step;
        int precision;
    } cases[] = {{1.0, 0}, {0.5, 1}, {0.25, 2}, {0.01, 2}, {0.001, 3}, {1e-7, 6}, {2.0, 0}};
    for (const auto& c : cases)
    {
        IParameter p;
        p.InitContinuous("p", 0.0, 0.0, 100.0, c.step);
        EXPECT_EQ(p.DisplayPrecision(), c.precision) << c.step;
    }
}

TEST(IParameter, ContinuousLevel)
{
    IParameter p;
    p.InitContinuous("Level", 0.5, 0.0, 1.0, 0.001);
    EXPECT_EQ(p.Kind(), IParameter::kKindContinuous);
    EXPECT_EQ(p.Value(), 0.5);
    EXPECT_EQ(Display(p, 0.5, false), "0.500");
    EXPECT_EQ(Display(p, 0.0, false), "0");
    EXPECT_EQ(Display(p, -0.0, false), "0");
    p.SetFromNormalized(0.25);
    EXPECT_EQ(p.Value(), 0.25);
    p.SetFromNormalized(0.1234567);
    EXPECT_EQ(p.Value(), 0.1234567); // continuous values are not rounded to the step
    p.SetFromNormalized(1.0);
    EXPECT_EQ(p.Value(), 1.0);
    p.SetFromNormalized(1.7);
    EXPECT_EQ(p.Value(), 1.0);
    p.SetFromNormalized(-0.5);
    EXPECT_EQ(p.Value(), 0.0); // normalised values are clamped into 0..1 first
    EXPECT_EQ(p.ToNormalized(3.0), 1.0);
    EXPECT_EQ(p.ToNormalized(-3.0), 0.0);
}

TEST(IParameter, RangeAlwaysSpansOneStep)
{
    IParameter p;
    p.InitContinuous("p", 0.2, 0.0, 0.5, 1.0);
    EXPECT_EQ(p.MaxValue(), 1.0);
    IParameter single;
    single.InitEnumerated("single", 0, 1);
    EXPECT_EQ(single.MinValue(), 0.0);
    EXPECT_EQ(single.MaxValue(), 1.0);
    // Defaults are stored unchanged, neither clamped nor rounded.
    IParameter outside;
    outside.InitContinuous("p", 7.3, 0.0, 1.0, 0.5);
    EXPECT_EQ(outside.Value(), 7.3);
}

TEST(IParameter, InitialiserKeepsAnExistingKind)
{
    IParameter p;
    p.InitEnumerated("e", 0, 3);
    p.InitContinuous("again", 0.0, 0.0, 1.0, 0.1);
    EXPECT_EQ(p.Kind(), IParameter::kKindEnumerated);
    EXPECT_STREQ(p.Name(), "again");
}

TEST(IParameter, EnumeratedRoundsAndDisplaysTexts)
{
    IParameter p = OffOn();
    EXPECT_EQ(p.Kind(), IParameter::kKindEnumerated);
    EXPECT_STREQ(p.Label(), "");
    p.SetFromNormalized(0.49);
    EXPECT_EQ(p.Value(), 0.0);
    p.SetFromNormalized(0.5);
    EXPECT_EQ(p.Value(), 1.0);
    EXPECT_EQ(Display(p, 1.0, false), "On");
    EXPECT_EQ(Display(p, 0.0, false), "Off");
    // The normalised 0.7 is the real 0.7, truncated to 0 for the text lookup.
    EXPECT_EQ(Display(p, 0.7, true), "Off");
    // Without a text the number is printed.
    EXPECT_EQ(Display(p, 5.0, false), "5");
    EXPECT_EQ(Display(p, -2.9, false), "-2");
}

TEST(IParameter, EnumeratedRoundsToWholeStepsFromZero)
{
    IParameter p;
    p.InitEnumerated("e", 0, 1);
    p.InitContinuous("e", 0.0, 0.25, 3.0, 1.0);
    p.SetFromNormalized(0.0); // real 0.25 rounds to 0, below the minimum
    EXPECT_EQ(p.Value(), 0.0);
    p.SetFromNormalized(0.5); // 1.625 -> 2
    EXPECT_EQ(p.Value(), 2.0);
}

TEST(IParameter, DisplayTextLookupStopsAtTheFirstMatch)
{
    IParameter p;
    p.InitEnumerated("Mode", 0, 4);
    p.AddDisplayText(1, "");
    p.AddDisplayText(1, "One");
    p.AddDisplayText(2, "Two");
    p.AddDisplayText(2, "Second");
    EXPECT_EQ(Display(p, 1.0, false), "1"); // first match is empty: the number
    EXPECT_EQ(Display(p, 2.0, false), "Two");
    EXPECT_STREQ(p.DisplayTextFor(2), "Two");
    EXPECT_STREQ(p.DisplayTextFor(3), "");
    EXPECT_EQ(p.DisplayTextCount(), 4);
}

TEST(IParameter, TextToValue)
{
    IParameter p = OffOn();
    double v = 42.0;
    EXPECT_FALSE(p.ValueForDisplayText("on", &v));
    EXPECT_FALSE(p.ValueForDisplayText("On ", &v));
    EXPECT_FALSE(p.ValueForDisplayText(nullptr, &v));
    EXPECT_EQ(v, 42.0);
    EXPECT_TRUE(p.ValueForDisplayText("On", &v));
    EXPECT_EQ(v, 1.0);
    EXPECT_EQ(p.ValueFromText("On"), 1.0);
    EXPECT_EQ(p.ValueFromText("bogus"), 0.0);

    IParameter level;
    level.InitContinuous("Level", 0.5, -1.0, 1.0, 0.01);
    EXPECT_EQ(level.ValueFromText("0.25dB"), 0.25);
    EXPECT_EQ(level.ValueFromText("abc"), 0.0);
    level.SetNegateDisplay(true);
    EXPECT_EQ(level.ValueFromText("0.25"), -0.25);
    EXPECT_EQ(Display(level, 0.5, false), "-0.50");
}

TEST(IParameter, NonFiniteValuesAreHandledSafely)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    IParameter p = OffOn();
    EXPECT_EQ(Display(p, nan, false), "nan");
    EXPECT_EQ(Display(p, inf, false), "inf");
    EXPECT_EQ(Display(p, -inf, false), "-inf");
    EXPECT_EQ(Display(p, 1e12, false), "1000000000000");
    p.SetFromNormalized(1.0);
    p.SetFromNormalized(nan);
    EXPECT_EQ(p.Value(), 1.0); // a NaN from a host is not stored
    EXPECT_EQ(p.ToNormalized(nan), 0.0);
    p.SetValueClamped(nan);
    EXPECT_EQ(p.Value(), 0.0);
    p.SetValueClamped(inf);
    EXPECT_EQ(p.Value(), 1.0);
}

TEST(IParameter, TextsAreBounded)
{
    const std::string longName(200, 'n');
    IParameter p;
    p.InitContinuous(longName.c_str(), 0.0, 0.0, 1.0, 0.001, longName.c_str());
    EXPECT_EQ(std::strlen(p.Name()), 31u);
    EXPECT_EQ(std::strlen(p.Label()), 31u);
    p.AddDisplayText(0, longName.c_str());
    EXPECT_EQ(std::strlen(p.DisplayTextFor(0)), 31u);
    p.InitContinuous(nullptr, 0.0, 0.0, 1.0, 0.001, nullptr);
    EXPECT_STREQ(p.Name(), "");

    // A huge value with three decimals does not fit 32 bytes: it is cut.
    IParameter level;
    level.InitContinuous("Level", 0.5, 0.0, 1e300, 0.001);
    const std::string text = Display(level, 1e300, false);
    EXPECT_EQ(text.size(), 31u);
    EXPECT_EQ(Display(level, 0.5, false, 4), "0.5");
    level.FormatDisplay(0.5, false, nullptr, 32); // no crash on a null buffer
}
