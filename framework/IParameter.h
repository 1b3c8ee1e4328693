#pragma once

#include "IDisplayText.h"

#include <cstdint>
#include <vector>

// One plug-in parameter: the only place where the real value, the normalised
// value (0..1) and the displayed text convert into each other. It does no
// locking; callers hold the plug-in lock.
class IParameter
{
public:
    enum Kind : int32_t
    {
        kKindNone = 0,
        kKindInteger1 = 1,
        kKindInteger2 = 2,
        kKindEnumerated = 3,
        kKindContinuous = 4,
    };
    static constexpr int kTextSize = 32;

    IParameter() = default;

    // Names and labels longer than 31 characters are cut to 31.
    void InitContinuous(const char* name, double defaultValue, double minValue, double maxValue,
                        double step, const char* label = "");
    void InitEnumerated(const char* name, int32_t defaultIndex, int32_t count);
    void AddDisplayText(int32_t value, const char* text);

    // x is clamped into 0..1 first (see ClampNormalized); NaN is ignored.
    void SetFromNormalized(double x);
    // A normalised value from outside (host, editor) clamped into 0..1, so
    // that -inf or -1e30 cannot become a parameter value far below the range.
    // NaN is passed through for the callers to refuse.
    static double ClampNormalized(double x);
    double ToNormalized(double v) const;
    double GetNormalized() const { return ToNormalized(value); }
    // Writes the display text for v into out, at most outSize - 1 characters
    // and a terminator (a huge number is cut rather than overflowing).
    void FormatDisplay(double v, bool isNormalized, char* out, int outSize = kTextSize) const;

    int32_t DisplayTextCount() const { return static_cast<int32_t>(displayTexts.size()); }
    // Empty string when no display text has the value k.
    const char* DisplayTextFor(int32_t k) const;
    bool ValueForDisplayText(const char* text, double* outValue) const;
    // Real value a typed text stands for: a display text's value (0 when
    // none matches) or the leading decimal number, negated with negateDisplay.
    double ValueFromText(const char* text) const;

    int32_t Kind() const { return kind; }
    bool IsIntegerKind() const { return kind >= kKindInteger1 && kind <= kKindEnumerated; }
    double Value() const { return value; }
    // Stores v unchanged (no clamp, no rounding).
    void SetValue(double v) { value = v; }
    // Stores v clamped into [minValue, maxValue] without rounding; NaN gives minValue.
    void SetValueClamped(double v);
    double MinValue() const { return minValue; }
    double MaxValue() const { return maxValue; }
    double Step() const { return step; }
    double Shape() const { return shape; }
    void SetShape(double s) { shape = s; }
    int32_t DisplayPrecision() const { return displayPrecision; }
    const char* Name() const { return name; }
    const char* Label() const { return label; }
    bool NegateDisplay() const { return negateDisplay; }
    void SetNegateDisplay(bool negate) { negateDisplay = negate; }

private:
    int32_t kind = kKindNone;
    double value = 0.0;
    double minValue = 0.0;
    double maxValue = 1.0;
    double step = 1.0;
    double shape = 1.0;
    int32_t displayPrecision = 0;
    char name[kTextSize] = {};
    char label[kTextSize] = {};
    bool negateDisplay = false;
    std::vector<IDisplayText> displayTexts;
};
