#pragma once

#include "BiquadBank.h"

#include <algorithm>
#include <cmath>

namespace dsptest
{

constexpr double kOffset = 1e-20;

// The signal path written out plainly, one frame at a time, from the filter
// bank record alone: the yardstick for the optimised block loop.
struct ReferencePath
{
    BiquadBank bank;
    double level = 0.0;
    double attack = 0.0;
    bool cabinet = false;

    double Section(int k, double x)
    {
        double y = bank.x1[k] * bank.b1[k];
        y = y + x * bank.b0[k];
        y = y + bank.b2[k] * bank.x2[k];
        y = y - bank.y1[k] * bank.a1[k];
        y = y - bank.a2[k] * bank.y2[k];
        bank.x2[k] = bank.x1[k];
        bank.x1[k] = x;
        bank.y2[k] = bank.y1[k];
        bank.y1[k] = y;
        return y;
    }

    static double Shape(double x, double ceiling, double drive)
    {
        const double a = x * drive;
        const double d = a >= 0 ? 0.1 : -0.1;
        double f;
        if (std::fabs(a) < 0.2)
        {
            f = ((1 - std::fabs(a) / 0.4) * a * ceiling) * 10;
        }
        else
        {
            f = (d * ceiling) * 10;
        }
        const double g = f < 0 ? 0.0 : std::min(f, 0.3);
        const double o = a > -0.2 ? -0.2 : 0.02;
        return g + o;
    }

    double Frame(double in0, double in1)
    {
        const double x = in1 + in0;
        const double u0 = Section(0, x);
        const double u1 = Section(1, u0 + kOffset);
        const double s = u1 + kOffset;
        const double w = Shape(s, 0.8, attack * 5.0);
        double e = 0.5 * attack;
        if (e > 0.5)
        {
            e = 0.5;
        }
        if (e < -0.5)
        {
            e = -0.5;
        }
        const double m = (0.5 - e) * (s * 2.0) + (e + 0.5) * w;
        double u = Section(2, m);
        for (int k = 3; k <= 11; ++k)
        {
            u = Section(k, u + kOffset);
        }
        double y = (level * 4.0) * (u + kOffset);
        if (cabinet)
        {
            double c = Section(12, y);
            for (int k = 13; k <= 21; ++k)
            {
                c = Section(k, c + kOffset);
            }
            y = c + kOffset;
        }
        return y;
    }
};

} // namespace dsptest
