#pragma once
// The host's dialog toolkit, headless: alerts from resources, palettes built from dialog layouts,
// help locations. Nothing is drawn; the user agent answers in place of a person.
#include <cstdint>
#include <map>
#include <string>

#include "API/ApiTypes.h"
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

// A window of the toolkit built from a dialog layout. Its id is the layout's number, 0 when the
// layout could not be found.
class Panel {
public:
    Panel(GSResModule module, int16_t resId);
    virtual ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    int16_t GetId() const { return id_; }
    const std::string& GetTitle() const { return title_; }
    const RS::DialogLayout* GetLayout() const { return id_ != 0 ? &layout_ : nullptr; }

private:
    int16_t id_ = 0;
    std::string title_;
    RS::DialogLayout layout_;
};

// A modeless palette: shown or hidden, receives events until EndEventProcessing.
class Palette : public Panel {
public:
    Palette(GSResModule module, int16_t resId) : Panel(module, resId) {}
    void Show() { visible_ = true; }
    void Hide() { visible_ = false; }
    bool IsVisible() const { return visible_; }
    void EndEventProcessing() { processing_ = false; }
    bool IsProcessingEvents() const { return processing_; }

private:
    bool visible_ = false;
    bool processing_ = true;
};

// Help locations that add-ons register by (signature, identifier).
void RegisterAdditionalHelpLocation(GSType signature, uint32_t identifier,
                                    const IO::Location& location);
void UnregisterAdditionalHelpLocation(GSType signature, uint32_t identifier);
const std::map<std::pair<GSType, uint32_t>, std::string>& RegisteredHelpLocations();

}  // namespace DG
