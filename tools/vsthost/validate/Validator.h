// `vsthost validate`: runs every selected check in a child process of its own
// with a time limit, so that a plug-in crashing or hanging in one check fails
// that check and the others still run.
#pragma once

#include "ValidateOptions.h"

class Validator
{
public:
    explicit Validator(ValidateOptions options);

    // The whole validation, or with --run-check the one check in this
    // process. Returns the exit status: 0 only when no check failed.
    int Run();

private:
    int RunAll();
    int RunOne();

    ValidateOptions options;
};
