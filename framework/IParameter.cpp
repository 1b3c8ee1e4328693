#include "IParameter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace
{
void CopyText(char* dest, size_t destSize, const char* src)
{
    std::snprintf(dest, destSize, "%s", src != nullptr ? src : "");
}

bool FitsInt32(double v)
{
    return v > -2147483649.0 && v < 2147483648.0; // false for NaN
}
} // namespace

void IParameter::InitContinuous(const char* name_, double defaultValue, double minValue_,
                                double maxValue_, double step_, const char* label_)
{
    if (kind == kKindNone)
    {
        kind = kKindContinuous;
    }
    CopyText(name, sizeof(name), name_);
    CopyText(label, sizeof(label), label_);
    minValue = minValue_;
    value = defaultValue;
    maxValue = maxValue_ >= minValue_ + step_ ? maxValue_ : minValue_ + step_;
    step = step_;
    displayPrecision = 0;
    for (double s = step; s != std::floor(s);)
    {
        if (++displayPrecision >= 6)
        {
            break;
        }
        s *= 10.0;
    }
}

void IParameter::InitEnumerated(const char* name_, int32_t defaultIndex, int32_t count)
{
    if (kind == kKindNone)
    {
        kind = kKindEnumerated;
    }
    InitContinuous(name_, defaultIndex, 0.0, static_cast<double>(count) - 1.0, 1.0, "");
}

void IParameter::AddDisplayText(int32_t value_, const char* text)
{
    IDisplayText entry;
    entry.value = value_;
    CopyText(entry.text, sizeof(entry.text), text);
    try
    {
        displayTexts.push_back(entry);
    }
    catch (const std::bad_alloc&)
    {
        // The list keeps its old contents.
    }
}

double IParameter::ClampNormalized(double x)
{
    if (x < 0.0)
    {
        return 0.0;
    }
    if (x > 1.0)
    {
        return 1.0;
    }
    return x; // also NaN
}

void IParameter::SetFromNormalized(double x)
{
    x = ClampNormalized(x);
    double v = std::pow(x, shape) * (maxValue - minValue) + minValue;
    if (kind != kKindContinuous)
    {
        v = std::floor(v / step + 0.5) * step;
    }
    if (v >= maxValue)
    {
        v = maxValue;
    }
    if (std::isnan(v))
    {
        return; // a NaN from a host would poison the signal path
    }
    value = v;
}

double IParameter::ToNormalized(double v) const
{
    if (!(maxValue > minValue) || std::isnan(v))
    {
        return 0.0;
    }
    if (v < minValue)
    {
        v = minValue;
    }
    if (v > maxValue)
    {
        v = maxValue;
    }
    return std::pow((v - minValue) / (maxValue - minValue), 1.0 / shape);
}

void IParameter::SetValueClamped(double v)
{
    if (std::isnan(v) || v < minValue)
    {
        value = minValue;
    }
    else if (v > maxValue)
    {
        value = maxValue;
    }
    else
    {
        value = v;
    }
}

void IParameter::FormatDisplay(double v, bool isNormalized, char* out, int outSize) const
{
    if (out == nullptr || outSize <= 0)
    {
        return;
    }
    const size_t n = static_cast<size_t>(outSize);
    if (isNormalized)
    {
        v = std::pow(v, shape) * (maxValue - minValue) + minValue;
    }
    if (!displayTexts.empty() && FitsInt32(v))
    {
        const int32_t k = static_cast<int32_t>(v);
        for (const IDisplayText& entry : displayTexts)
        {
            if (entry.value == k)
            {
                if (entry.text[0] != '\0')
                {
                    CopyText(out, n, entry.text);
                    return;
                }
                break;
            }
        }
    }
    if (negateDisplay)
    {
        v = -v;
    }
    if (v == 0.0)
    {
        CopyText(out, n, "0");
    }
    else if (displayPrecision == 0)
    {
        if (FitsInt32(v))
        {
            std::snprintf(out, n, "%d", static_cast<int32_t>(v));
        }
        else
        {
            std::snprintf(out, n, "%.0f", std::trunc(v)); // also nan and inf
        }
    }
    else
    {
        std::snprintf(out, n, "%.*f", displayPrecision, v);
    }
}

const char* IParameter::DisplayTextFor(int32_t k) const
{
    for (const IDisplayText& entry : displayTexts)
    {
        if (entry.value == k)
        {
            return entry.text;
        }
    }
    return "";
}

bool IParameter::ValueForDisplayText(const char* text, double* outValue) const
{
    if (text == nullptr)
    {
        return false;
    }
    for (const IDisplayText& entry : displayTexts)
    {
        if (std::strcmp(entry.text, text) == 0)
        {
            if (outValue != nullptr)
            {
                *outValue = entry.value;
            }
            return true;
        }
    }
    return false;
}

double IParameter::ValueFromText(const char* text) const
{
    double v = 0.0;
    if (!displayTexts.empty())
    {
        ValueForDisplayText(text, &v);
        return v;
    }
    if (text != nullptr)
    {
        v = std::strtod(text, nullptr);
    }
    return negateDisplay ? -v : v;
}
