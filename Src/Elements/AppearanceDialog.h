#pragma once
// The colours of the task types: for each, the colour and transparency of its elements under way
// and, when wanted, done. Opened from the add-on's menu, the palette and the movie settings; on
// OK the colours go into the preferences and onto the task-type materials, so that the showing,
// the stills and the movie follow.
#include <cstdint>

#include "AddOn/AppearanceProfile.h"
#include "AddOn/ResourceIds.h"

class DB;
class Preferences;

class AppearanceDialog {
public:
    static constexpr short kDialogId = ResId::AppearanceDialog;

    explicit AppearanceDialog(Preferences& prefs);
    // Runs the dialog; true when the user confirmed colours that were all usable (they are then
    // in the preferences).
    bool Show();
    // The dialog over the database's preferences; confirmed colours go onto the task-type
    // materials at once. True when confirmed.
    static bool ChooseColours(DB& db);
    static short DGCallBack(short message, short dialogId, short item, intptr_t userData,
                            intptr_t messageData);

    // Item numbers of task type `type` (0..4): its name, the under-way colour and transparency,
    // the done colour (empty: the elements' own) and transparency.
    static short NameItem(int type) { return static_cast<short>(10 + 10 * type); }
    static short UnderWayItem(int type) { return static_cast<short>(11 + 10 * type); }
    static short UnderWayTransparencyItem(int type) { return static_cast<short>(12 + 10 * type); }
    static short DoneItem(int type) { return static_cast<short>(13 + 10 * type); }
    static short DoneTransparencyItem(int type) { return static_cast<short>(14 + 10 * type); }

private:
    void Fill(const AppearanceProfile& colours);
    // The colours the items show; false, with an alert naming the first unusable text, when one
    // is no colour.
    bool Read(AppearanceProfile& colours) const;

    Preferences& prefs;
    short dialogId = 0;
};
