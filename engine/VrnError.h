#pragma once

#include <stdexcept>
#include <string>

namespace vrn {

// Base of every error the system raises with a message meant for the user. The message is the
// system's exact English text; windows show it in a message box, vrncli prints it.
class EVrnError : public std::runtime_error
{
public:
    explicit EVrnError(const std::string &message)
        : std::runtime_error(message)
    { }
};

// An invalid floating-point operation (arcsine of 2, a division by zero) that the platform the
// formulas come from reported as a floating-point fault.
class EMathError : public EVrnError
{
public:
    using EVrnError::EVrnError;
};

// A text that should hold a number and does not (the platform's number-conversion error).
class EConvertError : public EVrnError
{
public:
    using EVrnError::EVrnError;
};

} // namespace vrn
