#pragma once

#include "platform/runtime/Error.h"

#include <functional>

// The code of the platform::Error a call raises, or `none` when it raises nothing. Each test
// picks as `none` a code that the calls it makes never raise.
inline platform::ErrorCode codeRaisedBy(const std::function<void()>& call, platform::ErrorCode none)
{
    try {
        call();
    } catch (const platform::Error& error) {
        return error.code();
    }
    return none;
}
