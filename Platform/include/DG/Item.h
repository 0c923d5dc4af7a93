#pragma once
// One item of a panel: its place, its text, whether it is enabled and shown, and the focus. An
// item is made over a panel and an item number of the panel's layout, from which it takes its
// rectangle and text; it sends its events to the observers attached to it.
//
// The User... calls are what a person does to the item; the host's user agent makes them. They
// are refused, with a reason, when a person could not do it: the panel is not open or not shown,
// or the item is hidden or disabled.
#include <cstdint>
#include <string>

#include "DG/Geometry.h"
#include "DG/Picture.h"
#include "KX/EventSource.h"

namespace DG {

class Panel;

class Item : public KX::EventSource {
public:
    Item(Panel& panel, int16_t id);
    ~Item() override;

    Panel& GetPanel() const { return panel_; }
    int16_t GetId() const { return id_; }
    // The layout's type word (button, text, edit, popup, date, list, progress, ...).
    const std::string& GetTypeName() const { return type_; }

    Rect GetRect() const { return rect_; }
    void SetRect(const Rect& rect) { rect_ = rect; }
    int32_t GetWidth() const { return rect_.GetWidth(); }
    int32_t GetHeight() const { return rect_.GetHeight(); }
    void SetWidth(int32_t width) { rect_.right = rect_.left + width; }
    void SetHeight(int32_t height) { rect_.bottom = rect_.top + height; }
    void SetSize(int32_t width, int32_t height);
    void Move(int32_t dh, int32_t dv);
    void Resize(int32_t dh, int32_t dv);

    void Enable() { SetStatus(true); }
    void Disable() { SetStatus(false); }
    void SetStatus(bool enabled) { enabled_ = enabled; }
    bool IsEnabled() const { return enabled_; }
    void Show() { SetVisibility(true); }
    void Hide() { SetVisibility(false); }
    virtual void SetVisibility(bool visible);
    bool IsVisible() const { return visible_; }

    void SetText(const std::string& text) { text_ = text; }
    const std::string& GetText() const { return text_; }

    // Only some items take the keyboard focus (text and date fields, lists).
    virtual bool TakesFocus() const { return false; }
    void SetFocus();
    bool IsFocused() const;

    // Whether a person could act on the item now; the reason when not.
    bool IsReachable(std::string& why) const;
    // A person clicks into the item: it takes the focus when it can.
    bool UserFocus(std::string& why);

    // Draws the item at its rectangle moved by `origin`.
    virtual void Draw(Picture& picture, Point origin);

protected:
    void DrawFrame(Picture& picture, const Rect& r, uint32_t fill) const;
    void DrawLabel(Picture& picture, const Rect& r, const std::string& text, bool centred) const;

private:
    Panel& panel_;
    int16_t id_;
    std::string type_;
    Rect rect_;
    std::string text_;
    bool enabled_ = true;
    bool visible_ = true;
};

}  // namespace DG
