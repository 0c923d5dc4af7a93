#include "Movie/MovieGenerator.h"

#include "Host/VTAPI.h"

void MenuCreateMovie() {
    // Until the movie maker lands the command says so instead of doing nothing silently.
    VTAPI_WriteReport("Phasework: making movies is not available in this build.", false);
}
