#pragma once

#include "app/errors.h"

#include <stdexcept>

// The error of type Error that action throws; fails the calling test through a
// logic_error when it throws nothing (other exceptions pass through).
template <class Error, class Action>
Error caught(Action action)
{
    try
    {
        action();
    }
    catch (const Error& error)
    {
        return error;
    }
    throw std::logic_error("the expected error was not thrown");
}
