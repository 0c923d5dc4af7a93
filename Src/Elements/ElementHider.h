#pragma once
// Changes model elements so that the model shows its condition at the database's current date,
// and undoes every such change (one instance, elementHider). An element that is absent at the date
// goes to a hidden layer of its own, one under way takes its task type's pen and material, one
// present gets its own layer and attributes back. Every value replaced is first written into the
// element's link record, before the element changes, so that the model can always be put back
// from the elements alone. Layers hidden by the user are never touched; locked layers and locked
// elements are unlocked for a change and locked again.
#include <bit>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

#include "API/ApiAttributes.h"
#include "API/ApiTypes.h"
#include "AddOn/AppearanceProfile.h"
#include "Elements/OwnData.h"
#include "Elements/ShowingMemory.h"
#include "Schedule/TASK.h"

class DB;

// A layer the user hid: the add-on leaves its elements alone.
struct NonManagedLayer_t {
    int16_t index = 0;
    bool locked = false;
    bool hidden = false;
    friend bool operator<(const NonManagedLayer_t& a, const NonManagedLayer_t& b) {
        return a.index < b.index;
    }
};

// The host's order of GUIDs (byte by byte), compared as two big-endian words: the same order as
// comparing the bytes, without a call per comparison, for maps of every element of the model.
struct GuidOrder {
    static uint64_t Word(const API_Guid& g, size_t at) {
        uint64_t w;
        std::memcpy(&w, g.bytes + at, sizeof(w));
        if constexpr (std::endian::native == std::endian::little) w = __builtin_bswap64(w);
        return w;
    }
    bool operator()(const API_Guid& a, const API_Guid& b) const {
        const uint64_t a0 = Word(a, 0), b0 = Word(b, 0);
        return a0 != b0 ? a0 < b0 : Word(a, 8) < Word(b, 8);
    }
};

// The (state, type) last applied to one element.
struct FullElemState {
    TASK::LINKEDELEMENTSTATE state = TASK::Absent;
    TASKTYPE type = Build;
};

class ElementHider {
public:
    // The (type, state) of an element none of whose tasks was found.
    static constexpr TASKTYPE kNoTaskType = static_cast<TASKTYPE>(6);
    static constexpr TASK::LINKEDELEMENTSTATE kNoTaskState = static_cast<TASK::LINKEDELEMENTSTATE>(3);
    // Each buffer of GetElemIdentifier holds this many bytes.
    static constexpr int kIdentifierSize = 256;

    ElementHider() = default;
    ElementHider(const ElementHider&) = delete;
    ElementHider& operator=(const ElementHider&) = delete;

    // Loads the hidden layer's name and the task types' pens from the resources.
    void Create();

    // ---- The link record ---------------------------------------------------------------------
    // The element's record; EElementHider when it has none (code 220), it cannot be read, or it
    // was written in a version this add-on does not know (the bytes stay as they are).
    void GetData(API_ElemTypeID type, API_Guid guid, OwnData& data);
    // Writes the record. A locked element is unlocked, written and locked again when
    // unlockIfLocked is set (*guid then follows the element when the host renews it). False when
    // the host says the element may not be edited; EElementHider for any other failure.
    bool SetData(API_ElemTypeID type, API_Guid* guid, OwnData data, bool unlockIfLocked);
    // Clears slot `index` of the record and writes it; a failed write is shown with the alert
    // ResId::AlertLinksNotWritten.
    // The list is not packed here.
    void DeleteOneLinkFromElement(OwnData& data, int32_t index, API_ElemTypeID type, API_Guid* guid);

    // ---- One element -------------------------------------------------------------------------
    // Brings one element into its state at the database's current date; true when its record or
    // the element was written. keepGuid false: a GUID the host hands back is followed.
    bool Hide(DB& db, API_ElemTypeID type, API_Guid guid, bool keepGuid, int16_t hiddenLayer);
    // The same, noting what the showing memory keeps of the element (note may be null).
    bool Hide(DB& db, API_ElemTypeID type, API_Guid guid, bool keepGuid, int16_t hiddenLayer,
              ShowingMemory::ElementNote* note);
    // Replaces (restore false) or puts back (restore true) the element's pens, materials and
    // switches, marking every written field in mask. `done`: the task type's done material
    // replaces them rather than its under-way one.
    void ModifyAttributes(bool restore, API_Element* element, API_Element* mask, OwnData* data,
                          TASKTYPE type, bool done = false);
    // Puts one element back to normal; removes its record when no link is left.
    void Restore(const DB& db, API_ElemTypeID type, API_Guid guid);
    // Restores every handled element of the model.
    void ShowAllElements(DB& db);

    // The (type, state) an element takes from its linked tasks at the current date. Writes a
    // report line (and counts a problem) for every task under way after the first; asks about
    // IDs the schedule does not hold (ResId::AlertLinkToMissingTask) and throws ETaskNotFound when
    // the treatment of the element is to end.
    void ChooseElementState(DB& db, OwnData& data, API_ElemTypeID type, API_Guid* guid,
                            TASKTYPE* taskType, TASK::LINKEDELEMENTSTATE* state);
    // For an element none of whose tasks is under way: the last finished task, else the next to
    // begin. ETaskNotFound when an ID does not resolve.
    void ScanForRightElementState(const int32_t* ids, const DB& db, TASKTYPE* type,
                                  TASK::LINKEDELEMENTSTATE* state);
    // Compares with the state last applied, remembers the new one, and says whether the element
    // must be treated.
    bool IsElemStateModified(const API_Guid& guid, TASKTYPE type, TASK::LINKEDELEMENTSTATE state);
    // Every linked element of the model is taken to stand in `state`.
    void InitElemStateContainer(DB& db, TASK::LINKEDELEMENTSTATE state);
    // No state is known of any element: each is treated at the next showing. For a model that
    // changed behind the hider's back (an undo or redo of a showing, the user's edits).
    void ForgetElemStates();

    // ---- Layers and locks --------------------------------------------------------------------
    // Shows or hides the hidden layer, creating it when missing; its index (0 on failure).
    int16_t ShowPWLayer(bool show) const;
    void RefreshNonManagedLayers();
    bool IsLayerHandledByPW(int16_t layer) const;
    bool IsHandledByPW(API_ElemTypeID type, API_Guid guid) const;
    static bool IsTypeHandledByPW(API_ElemTypeID type);
    void UnlockLayers();
    void LockLayers();
    bool UnlockElement(API_ElemTypeID type, API_Guid* guid);
    bool LockElement(API_ElemTypeID type, API_Guid* guid);

    static API_NeigID TypeIDToNeigID(API_ElemTypeID type);
    static API_ElemTypeID NeigIDToTypeID(API_NeigID neig);
    // The type's name and the element's ID text, each into kIdentifierSize bytes.
    void GetElemIdentifier(API_ElemTypeID type, API_Guid guid, char* typeName, char* idText);

    // ---- Around a showing --------------------------------------------------------------------
    // Prepares the model: task-type materials, the user's hidden layers, the consistency
    // report, the single-element mode on, every locked layer unlocked.
    void BeforeMovie(const DB& db);
    // Gives the task-type materials these colours now (making them when missing), so that
    // elements already shown take them.
    void ApplyColours(const AppearanceProfile& colours);
    // Undoes the preparation and shows the problem count (ResId::AlertProblemsWhileShowing).
    void AfterMovie();
    void BeforeFrame();
    void AfterFrame();
    // What AfterMovie has not yet undone: the layers are locked again and the mode given back,
    // failures ignored. For the way out of a showing that an exception takes.
    void AbandonShowing() noexcept;

    static char HiddenLayerName[32];

    int32_t savedHostMode = 0;
    int32_t problemCount = 0;
    int16_t pens[TASK::kTypeCount] = {};
    int16_t materials[TASK::kTypeCount] = {};
    // Material index per TASKTYPE of the elements done; 0 where they get their own back.
    int16_t doneMaterials[TASK::kTypeCount] = {};
    std::set<NonManagedLayer_t> nonManagedLayers;
    std::set<int16_t> unlockedLayers;
    int32_t redrawRequested = 0;
    std::map<API_Guid, FullElemState, GuidOrder> elemStates;
    bool frameUnchanged = false;
    // The last showing at a date, for the next one to treat only what changed.
    ShowingMemory memory;
    // The host's model stamp right after the last showing ended (0: none): while the model still
    // has it, elemStates and memory describe the model.
    uint64_t trustedStamp = 0;

private:
    // Makes the task-type materials (and the done ones the chosen colours ask for) and gives
    // them the chosen colours; tells the host's pictures what the colours mean.
    void MakeSureOfMaterials(const AppearanceProfile& colours);
    // The index of the material named `name`, made with these colours when missing and given
    // them when it has others; 0 (reported) when it cannot be made.
    int16_t MaterialWithLook(const char* name, const AppearanceProfile::Look& look,
                             const API_RGBColor& defaultColour, bool useDefaultColour);
    void TellLegend() const;
    void SetHostMode(int32_t mode);

    // What a showing still has to undo on its way out.
    bool layersToLock = false;
    bool hostModeToGiveBack = false;
};
