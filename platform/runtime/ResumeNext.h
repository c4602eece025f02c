#pragma once

#include "platform/runtime/Error.h"

#include <utility>

namespace platform {

// "Resume at the next statement": a handler runs each of its steps through this, and a step
// that fails with the program's error is abandoned at the failing operation while the next
// step still runs. Only our own error type is swallowed: anything else is a real bug and
// must not disappear silently.
//
//     Step([&] { FormWidth = Me.ScaleWidth(); });
//     Step([&] { FormHeight = Me.ScaleHeight(); });
template<typename Statement> bool Step(Statement&& statement)
{
    try {
        std::forward<Statement>(statement)();
        return true;
    } catch (const Error&) {
        return false;
    }
}

} // namespace platform
