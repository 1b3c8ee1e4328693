#pragma once

#include "BiquadBank.h"

// A section's coefficients and history as locals, so that the compiler can
// keep them in registers for a whole chunk instead of reloading the bank.
struct SectionState
{
    double b0, b1, b2, a1, a2, x1, x2, y1, y2;

    void Load(const BiquadBank& bank, int k)
    {
        b0 = bank.b0[k];
        b1 = bank.b1[k];
        b2 = bank.b2[k];
        a1 = bank.a1[k];
        a2 = bank.a2[k];
        x1 = bank.x1[k];
        x2 = bank.x2[k];
        y1 = bank.y1[k];
        y2 = bank.y2[k];
    }

    void Store(BiquadBank& bank, int k) const
    {
        bank.x1[k] = x1;
        bank.x2[k] = x2;
        bank.y1[k] = y1;
        bank.y2[k] = y2;
    }

    // Exactly the arithmetic of BiquadBank::RunSection.
    double Run(double x)
    {
        double y = x1 * b1;
        y = y + x * b0;
        y = y + b2 * x2;
        y = y - y1 * a1;
        y = y - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};
