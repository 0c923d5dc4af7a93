#pragma once
// The host's dialog toolkit, headless: alerts from resources, modeless dialogs built from dialog
// layouts (DG/ModelessDialog.h and the item headers), help locations. Nothing is drawn; the user
// agent answers in place of a person.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "API/ApiTypes.h"
#include "DG/ModelessDialog.h"
#include "DG/UserAgent.h"
#include "IO/Location.h"
#include "RS.h"

// Shows alert `alertID` of the module with ^1..^4 filled in; returns the button number (1-based),
// or 0 when the module has no such alert.
int16_t DGResAlert(GSResModule module, int16_t alertID);
int16_t DGResAlertParam(GSResModule module, int16_t alertID, const char* p1, const char* p2,
                        const char* p3, const char* p4);
// Fills ^1..^4 of an alert text (a null parameter leaves its mark empty).
std::string DGFillAlertText(const std::string& text, const char* const params[4]);

namespace DG {

// What a person does while the add-on is busy (a click on a progress window's Cancel button):
// the host posts it, and it happens at the next point where the toolkit delivers events.
void PostUserAction(std::function<void()> action);
// Delivers the posted actions in order; returns how many. Actions posted meanwhile wait for the
// next call.
size_t DeliverPendingEvents();
size_t PendingUserActions();

// Help locations that add-ons register by (signature, identifier).
void RegisterAdditionalHelpLocation(GSType signature, uint32_t identifier,
                                    const IO::Location& location);
void UnregisterAdditionalHelpLocation(GSType signature, uint32_t identifier);
const std::map<std::pair<GSType, uint32_t>, std::string>& RegisteredHelpLocations();

}  // namespace DG
