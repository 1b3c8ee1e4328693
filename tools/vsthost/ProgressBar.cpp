#include "ProgressBar.h"

#include <cstdio>

ProgressBar::ProgressBar(bool on) : enabled(on) {}

ProgressBar::~ProgressBar()
{
    Finish();
}

void ProgressBar::Update(int64_t done, int64_t total)
{
    if (!enabled || total <= 0)
    {
        return;
    }
    int percent = static_cast<int>(done * 100 / total);
    if (percent == lastPercent)
    {
        return;
    }
    lastPercent = percent;
    const int width = 40;
    char bar[width + 1];
    int filled = percent * width / 100;
    for (int i = 0; i < width; ++i)
    {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[width] = '\0';
    std::fprintf(stderr, "\r[%s] %3d%%", bar, percent);
    std::fflush(stderr);
    drawn = true;
}

void ProgressBar::Finish()
{
    if (drawn)
    {
        std::fprintf(stderr, "\r%*s\r", 48, "");
        std::fflush(stderr);
    }
    drawn = false;
}
