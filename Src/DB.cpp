#include "DB.h"

#include "ElementHider.h"
#include "Preferences.h"

DB::DB(Preferences& prefs_, ElementHider& hider_) : prefs(prefs_), hider(hider_) {}

void DB::Create() {}

void DB::Clear() {
    modified = false;
    prefs.Reset();
}

bool DB::Load() { return false; }

bool DB::Save(bool /*saveAs*/) { return false; }
