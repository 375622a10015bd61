// Calls from the window system's event handling into the program.
//
// Handlers run inside Qt's event loop (a message sent while Qt delivers an
// event, a dialog button's signal), where an exception must not unwind:
// Qt's own frames are not exception-safe.  The program's failures are status
// codes, so what can still escape is an allocation failure deep in a
// container; it costs the one message, which counts as handled with the
// result 0, and is reported on standard error.
#pragma once

#include <cstdio>
#include <exception>

namespace platform {

template <typename Result, typename Call>
Result callHandler(const char* what, Call&& call) noexcept {
    try {
        return call();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "Orbivista: %s failed: %s\n", what, failure.what());
        return Result{};
    }
}

} // namespace platform
