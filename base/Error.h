#pragma once
// Errors of the module. Every operation that fails raises an error carrying a text; window-level
// handlers catch them and show the text. "Ordinary run-time errors" are everything derived from
// std::exception except resource exhaustion (std::bad_alloc), which passes through the handlers
// that only swallow ordinary errors.
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

namespace gs {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that cannot be converted to a number or a date.
class ConvertError : public Error {
public:
    using Error::Error;
};

// True for errors the module's guarded blocks may swallow.
inline bool isOrdinaryError(const std::exception& e)
{
    return dynamic_cast<const std::bad_alloc*>(&e) == nullptr;
}

} // namespace gs
