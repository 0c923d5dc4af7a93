#pragma once
// A window of the toolkit built from a dialog layout of a resource module. It knows its items,
// the focus, its size, whether it is shown and whether it takes events; it sends its own events to
// the panel observers attached to it.
#include <cstdint>
#include <string>
#include <vector>

#include "API/ApiTypes.h"
#include "DG/Picture.h"
#include "KX/EventSource.h"
#include "RS.h"

namespace DG {

class Item;

class Panel : public KX::EventSource {
public:
    // The id is the layout's number, 0 when the layout could not be found.
    Panel(GSResModule module, int16_t resId);
    ~Panel() override;

    int16_t GetId() const { return id_; }
    const std::string& GetTitle() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    const RS::DialogLayout* GetLayout() const { return id_ != 0 ? &layout_ : nullptr; }

    int32_t GetClientWidth() const { return width_; }
    int32_t GetClientHeight() const { return height_; }

    // Items in the order of their numbers.
    const std::vector<Item*>& GetItems() const { return items_; }
    Item* GetItem(int16_t id) const;

    // Moves and resizes of items between these two calls are shown at once, at the end.
    void BeginMoveResizeItems() { ++moveResizeDepth_; }
    void EndMoveResizeItems();
    bool IsMovingOrResizingItems() const { return moveResizeDepth_ > 0; }

    Item* GetFocusedItem() const { return focused_; }
    // Takes the focus away from every item.
    void ClearFocus();

    // Opening: the panel takes events from now on and its observers are told it opened.
    void BeginEventProcessing();
    // Closing: no events any more; the observers are told it closed.
    void EndEventProcessing();
    bool IsProcessingEvents() const { return processing_; }

    void Show() { visible_ = true; }
    void Hide() { visible_ = false; }
    bool IsVisible() const { return visible_; }

    // Asks the observers whether the window may close (as its close box does); hides it when one
    // accepts. The host sends this too.
    void RequestClose();

    // What a person does to the window itself.
    bool UserCloseRequest(std::string& why);
    bool UserResize(int32_t dh, int32_t dv, std::string& why);
    bool IsReachable(std::string& why) const;

    // The window as the toolkit draws it: a title bar over the client area with every shown item.
    Picture Render();
    static constexpr int32_t kTitleBarHeight = 22;

    // Every panel that exists, oldest first (the host looks up its windows here).
    static const std::vector<Panel*>& AllPanels();
    static Panel* Find(int16_t id);

private:
    friend class Item;
    void AddItem(Item* item);
    void RemoveItem(Item* item);
    void MoveFocus(Item* item);

    int16_t id_ = 0;
    std::string title_;
    RS::DialogLayout layout_;
    int32_t width_ = 0, height_ = 0;
    std::vector<Item*> items_;
    Item* focused_ = nullptr;
    int moveResizeDepth_ = 0;
    bool processing_ = false;
    bool visible_ = false;
};

}  // namespace DG
