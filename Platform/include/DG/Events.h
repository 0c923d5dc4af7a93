#pragma once
// The events the toolkit sends to observers. Each names its source; list and resize events carry
// what happened.
#include <cstdint>

namespace DG {

class Panel;
class Item;
class Button;
class TextEdit;
class ListBox;
class DateControl;
class PopUp;
class DrawContext;

template <typename Source>
class EventFrom {
public:
    explicit EventFrom(Source* source) : source_(source) {}
    Source* GetSource() const { return source_; }

private:
    Source* source_;
};

struct PanelOpenEvent : EventFrom<Panel> {
    using EventFrom::EventFrom;
};
struct PanelCloseEvent : EventFrom<Panel> {
    using EventFrom::EventFrom;
};
struct PanelCloseRequestEvent : EventFrom<Panel> {
    using EventFrom::EventFrom;
};

class PanelResizeEvent : public EventFrom<Panel> {
public:
    PanelResizeEvent(Panel* source, int32_t dh, int32_t dv) : EventFrom(source), dh_(dh), dv_(dv) {}
    int32_t GetHorizontalChange() const { return dh_; }
    int32_t GetVerticalChange() const { return dv_; }

private:
    int32_t dh_, dv_;
};

struct ItemFocusEvent : EventFrom<Item> {
    using EventFrom::EventFrom;
};
struct ButtonClickEvent : EventFrom<Button> {
    using EventFrom::EventFrom;
};
struct TextEditChangeEvent : EventFrom<TextEdit> {
    using EventFrom::EventFrom;
};
struct ListBoxSelectionEvent : EventFrom<ListBox> {
    using EventFrom::EventFrom;
};
struct DateTimeChangeEvent : EventFrom<DateControl> {
    using EventFrom::EventFrom;
};

class PopUpChangeEvent : public EventFrom<PopUp> {
public:
    PopUpChangeEvent(PopUp* source, int16_t previous) : EventFrom(source), previous_(previous) {}
    int16_t GetPreviousSelection() const { return previous_; }

private:
    int16_t previous_;
};

class ListBoxDoubleClickEvent : public EventFrom<ListBox> {
public:
    ListBoxDoubleClickEvent(ListBox* source, int16_t row) : EventFrom(source), row_(row) {}
    int16_t GetListItem() const { return row_; }

private:
    int16_t row_;
};

// Asks the observer to draw one owner-drawn cell (row, tab field) through the context.
class ListBoxUpdateEvent : public EventFrom<ListBox> {
public:
    ListBoxUpdateEvent(ListBox* source, int16_t row, int16_t field, DrawContext& context,
                       int32_t width, int32_t height)
        : EventFrom(source),
          row_(row),
          field_(field),
          context_(context),
          width_(width),
          height_(height) {}
    int16_t GetListItem() const { return row_; }
    int16_t GetTabFieldIndex() const { return field_; }
    DrawContext& GetDrawContext() const { return context_; }
    int32_t GetWidth() const { return width_; }
    int32_t GetHeight() const { return height_; }

private:
    int16_t row_, field_;
    DrawContext& context_;
    int32_t width_, height_;
};

}  // namespace DG
