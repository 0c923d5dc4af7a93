#pragma once

#include "Host/VTAPI.h"

// Runs an event handler of the add-on under the host, which knows nothing of the add-on's
// exceptions: one escaping would end the host with every unsaved change. What gets this far
// becomes the one line "Phasework general error!" in the report window, and the session goes on.
template <class Handler>
void Guarded(Handler handler) noexcept {
    try {
        handler();
    } catch (...) {
        try {
            VTAPI_WriteReport("Phasework general error!", false);
        } catch (...) {
        }
    }
}
