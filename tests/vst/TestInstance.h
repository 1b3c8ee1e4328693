#pragma once

#include "TestEffect.h"

// Owns a TestEffect the way a host does: created with new, ended by effClose.
struct TestInstance
{
    explicit TestInstance(TestEffect::Options o = TestEffect::Options())
        : fx(new TestEffect(o)), e(fx->GetAEffect())
    {
    }
    ~TestInstance()
    {
        if (e)
        {
            e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
        }
    }
    TestInstance(const TestInstance&) = delete;
    TestInstance& operator=(const TestInstance&) = delete;
    TestEffect* operator->() { return fx; }

    TestEffect* fx;
    AEffect* e;
};
