// A one-line progress bar on standard error, drawn only when standard error is
// a terminal so that logs and pipes stay clean.
#pragma once

#include <cstdint>

class ProgressBar
{
public:
    explicit ProgressBar(bool enabled);
    ~ProgressBar();

    void Update(int64_t done, int64_t total);
    // Clears the bar (also done by the destructor).
    void Finish();

private:
    bool enabled;
    bool drawn = false;
    int lastPercent = -1;
};
