#pragma once
// The application's error display: an error that no handler caught ends that handler and is shown in the
// system's message box; the program then goes on with its window open.
#include <string>

#include "StringCode.h"

namespace orv {

// Shows the message (ended with a full stop where it needs one), titled with the application's title.
void ReportUncaughtError(const std::string& message);

// To be called inside a catch block: shows the error being handled, whatever its type.
void ReportCurrentError() noexcept;

// Runs one event handler, a window message or a turn of the message loop, under the catch-all.
template <typename Body>
void RunGuarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        ReportCurrentError();
    }
}

}  // namespace orv
