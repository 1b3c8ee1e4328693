// Failure of a vsthost command. Carries the one-line message the tool prints
// before exiting with a non-zero status.
#pragma once

#include <stdexcept>
#include <string>

class HostError : public std::runtime_error
{
public:
    explicit HostError(const std::string& message) : std::runtime_error(message) {}
};
