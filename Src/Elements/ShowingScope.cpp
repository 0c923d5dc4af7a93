#include "Elements/ShowingScope.h"

#include "Elements/ElementHider.h"

ShowingScope::ShowingScope(ElementHider& hider_, const DB& db) : hider(hider_) {
    try {
        hider.BeforeMovie(db);
    } catch (...) {
        hider.AbandonShowing();
        throw;
    }
}

ShowingScope::~ShowingScope() { hider.AbandonShowing(); }

void ShowingScope::Finish() { hider.AfterMovie(); }
