#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "API/Pictures.h"
#include "DG/Button.h"
#include "DG/DG.h"
#include "DG/DateControl.h"
#include "DG/DrawContext.h"
#include "DG/LeftText.h"
#include "DG/ModelessDialog.h"
#include "DG/Observers.h"
#include "DG/PopUp.h"
#include "DG/ProgressBar.h"
#include "DG/SingleSelListBox.h"
#include "DG/TextEdit.h"
#include "ResourceModuleFixture.h"

namespace {

using Log = std::vector<std::string>;

const char* const kLayout = R"(dialog 910 palette 400 300 Test Window
item 1 button 10 10 80 24 Go
item 2 text 10 40 100 20 Label
item 3 edit 10 70 100 20
item 4 popup 10 100 100 20
item 5 date 10 130 100 20
item 6 list 120 10 260 200
item 7 progress 10 270 200 12
end
)";

class Window : public DG::ModelessDialog {
public:
    explicit Window(GSResModule module)
        : DG::ModelessDialog(module, 910),
          go(*this, 1),
          label(*this, 2),
          edit(*this, 3),
          popup(*this, 4),
          date(*this, 5),
          list(*this, 6),
          bar(*this, 7) {}
    DG::Button go;
    DG::LeftText label;
    DG::TextEdit edit;
    DG::PopUp popup;
    DG::DateControl date;
    DG::SingleSelListBox list;
    DG::ProgressBar bar;
};

// Writes down every event it hears, in order.
class Recorder : public DG::PanelObserver,
                 public DG::CompoundItemObserver,
                 public DG::ButtonItemObserver,
                 public DG::TextEditObserver,
                 public DG::ListBoxObserver,
                 public DG::DateTimeObserver,
                 public DG::PopUpObserver {
public:
    Log log;
    bool acceptClose = false;

    void Watch(DG::Panel& panel) {
        panel.Attach(*this);
        AttachToAllItems(panel);
    }
    void PanelOpened(const DG::PanelOpenEvent&) override { Add("open"); }
    void PanelClosed(const DG::PanelCloseEvent&) override { Add("close"); }
    void PanelCloseRequested(const DG::PanelCloseRequestEvent&, bool* accepted) override {
        Add("close request");
        if (acceptClose) *accepted = true;
    }
    void PanelResized(const DG::PanelResizeEvent& e) override {
        Add("resize " + N(e.GetHorizontalChange()) + " " + N(e.GetVerticalChange()));
    }
    void ItemFocusGained(const DG::ItemFocusEvent& e) override { Add("focus+" + Id(e)); }
    void ItemFocusLost(const DG::ItemFocusEvent& e) override { Add("focus-" + Id(e)); }
    void ButtonClicked(const DG::ButtonClickEvent& e) override { Add("click " + Id(e)); }
    void TextEditContentChanged(const DG::TextEditChangeEvent& e) override {
        Add("text " + e.GetSource()->GetText());
    }
    void ListBoxSelectionChanged(const DG::ListBoxSelectionEvent& e) override {
        Add("select " + N(e.GetSource()->GetSelectedItem()));
    }
    void ListBoxDoubleClicked(const DG::ListBoxDoubleClickEvent& e) override {
        Add("double " + N(e.GetListItem()));
    }
    void DateTimeChanged(const DG::DateTimeChangeEvent& e) override {
        Add("date " + N(e.GetSource()->GetValue()));
    }
    void PopUpChanged(const DG::PopUpChangeEvent& e) override {
        Add("popup " + N(e.GetPreviousSelection()) + ">" + N(e.GetSource()->GetSelectedItem()));
    }
    void SourceDestroyed(KX::EventSource* source) override {
        auto* item = dynamic_cast<DG::Item*>(source);
        Add(item != nullptr ? "gone " + N(item->GetId()) : "gone window");
    }

private:
    void Add(const std::string& what) { log.push_back(what); }
    static std::string N(int64_t n) { return std::to_string(n); }
    static std::string Id(const auto& e) { return N(e.GetSource()->GetId()); }
};

// Fields 1 (0 to 100) and 2 (100 to `secondEnd`), left-justified.
void TwoFields(DG::ListBox& list, int32_t secondEnd) {
    list.SetTabFieldCount(2);
    list.SetTabFieldProperties(1, 0, 100, DG::ListBox::Left, DG::ListBox::EndTruncate);
    list.SetTabFieldProperties(2, 100, secondEnd, DG::ListBox::Left, DG::ListBox::EndTruncate);
}

struct NoAgent : DG::UserAgent {
    int16_t AnswerAlert(const DG::AlertRequest&) override { return 1; }
};

class DGModelessDialogTest : public ResourceModuleFixture<NoAgent> {
protected:
    DGModelessDialogTest() : ResourceModuleFixture(kLayout, "modeless_dialog_test.rsrc") {}

    // Opens and shows the window with three rows in its list, watched by the recorder.
    void Open(Window& w) {
        recorder.Watch(w);
        w.BeginEventProcessing();
        w.Show();
        for (int row = 1; row <= 3; ++row) w.list.AppendItem();
        recorder.log.clear();
    }
    Recorder recorder;
    std::string why;
};

TEST_F(DGModelessDialogTest, LayoutGivesItemsTheirPlaceAndADestroyedWindowTellsItemsThenItself) {
    {
        Window w(module);
        EXPECT_EQ(w.GetTitle() + " " + w.go.GetText(), "Test Window Go");
        EXPECT_EQ(w.list.GetRect(), (DG::Rect{120, 10, 380, 210}));
        EXPECT_EQ(w.GetItem(5), &w.date);
        EXPECT_EQ(DG::Panel::Find(910), &w);
        recorder.Watch(w);
        // Opening and closing are told once however often they are asked for.
        w.BeginEventProcessing();
        w.BeginEventProcessing();
        w.EndEventProcessing();
        w.EndEventProcessing();
        EXPECT_EQ(recorder.log, (Log{"open", "close"}));
        recorder.log.clear();
    }
    EXPECT_EQ(recorder.log, (Log{"gone 7", "gone 6", "gone 5", "gone 4", "gone 3", "gone 2",
                                 "gone 1", "gone window"}));  // members go in reverse order
    EXPECT_EQ(DG::Panel::Find(910), nullptr);
}

TEST_F(DGModelessDialogTest, PersonCannotActWhereAPersonCouldNotAndResizeKeepsSomeWindow) {
    Window w(module);
    // The gesture is evaluated before the reason it gives is read.
    const auto refused = [&](bool acted, const char* reason) { return !acted && why == reason; };
    EXPECT_TRUE(refused(w.go.UserClick(why), "the window is not open")) << why;
    w.BeginEventProcessing();
    EXPECT_TRUE(refused(w.go.UserClick(why), "the window is not shown")) << why;
    w.Show();
    w.go.Disable();
    EXPECT_TRUE(refused(w.go.UserClick(why), "item 1 is disabled")) << why;
    w.edit.Hide();
    EXPECT_TRUE(refused(w.edit.UserSetText("x", why), "item 3 is hidden")) << why;
    w.go.Enable();
    EXPECT_TRUE(w.go.UserClick(why));
    ASSERT_TRUE(w.UserResize(-30, 12, why));
    EXPECT_EQ(std::pair(w.GetClientWidth(), w.GetClientHeight()), std::pair(370, 312));
    EXPECT_FALSE(w.UserResize(-370, 0, why)) << "nothing would be left";
    EXPECT_EQ(w.GetClientWidth(), 370);
}

struct Gesture {
    const char* name;
    std::function<bool(Window&, std::string&)> act;
    Log events;
    bool acceptClose = false;  // the window is hidden only when an observer accepts
};

TEST_F(DGModelessDialogTest, GesturesArriveInTheOrderAToolkitSendsThem) {
    const Gesture gestures[] = {
        {"double-click an unselected row",
         [](Window& w, std::string& e) { return w.list.UserDoubleClick(2, e); },
         {"focus+6", "select 2", "double 2"}},
        {"double-click the selected row",
         [](Window& w, std::string& e) {
             w.list.SelectItem(2);
             return w.list.UserDoubleClick(2, e);
         },
         {"focus+6", "double 2"}},
        {"set the date while typing in the text field",
         [](Window& w, std::string& e) {
             w.edit.SetFocus();
             return w.date.UserSetValue(86400, e);
         },
         {"focus+3", "focus-3", "focus+5", "date 86400"}},
        {"type into the text field",
         [](Window& w, std::string& e) { return w.edit.UserSetText("abc", e); },
         {"focus+3", "text abc"}},
        {"choose a pop-up entry after one was put before the chosen one",
         [](Window& w, std::string& e) {
             w.popup.AppendItem();
             w.popup.AppendItem();
             w.popup.SelectItem(1);
             w.popup.InsertItem(1);  // the chosen entry moves down to 2
             return w.popup.UserSelect(3, e);
         },
         {"popup 2>3"}},
        {"resize the window",
         [](Window& w, std::string& e) { return w.UserResize(-30, 12, e); },
         {"resize -30 12"}},
        {"ask to close, refused",
         [](Window& w, std::string& e) { return w.UserCloseRequest(e); },
         {"close request"}},
        {"ask to close, accepted",
         [](Window& w, std::string& e) { return w.UserCloseRequest(e); },
         {"close request"},
         true},
    };
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.name);
        Window w(module);
        Open(w);
        recorder.acceptClose = g.acceptClose;
        ASSERT_TRUE(g.act(w, why)) << why;
        EXPECT_EQ(recorder.log, g.events);
        EXPECT_EQ(w.IsVisible(), !g.acceptClose);
    }
}

// Also: an observer gone before the window is not called (the sanitizer build catches a call
// into the dead one).
TEST_F(DGModelessDialogTest, PostedActionsHappenWhenEventsAreDeliveredToLiveObservers) {
    Window w(module);
    Open(w);
    {
        Recorder shortLived;
        shortLived.Watch(w);
    }
    DG::PostUserAction([&] { w.go.UserClick(why); });
    DG::PostUserAction([&] { DG::PostUserAction([&] { w.go.UserClick(why); }); });
    EXPECT_TRUE(recorder.log.empty());
    EXPECT_EQ(DG::DeliverPendingEvents(), 2u);
    EXPECT_EQ(recorder.log, (Log{"click 1"}));
    EXPECT_EQ(DG::PendingUserActions(), 1u);
    DG::DeliverPendingEvents();
    EXPECT_EQ(recorder.log.size(), 2u);
}

TEST_F(DGModelessDialogTest, CellEditorSitsInTheSelectedRowOfItsField) {
    Window w(module);
    Open(w);
    TwoFields(w.list, 240);
    w.edit.SetSize(94, 13);
    w.edit.Hide();
    w.list.SetOnTabItem(2, w.edit);
    EXPECT_FALSE(w.edit.IsVisible()) << "no row selected";
    w.list.SelectItem(3);
    EXPECT_TRUE(w.edit.IsVisible());
    // list top 10, frame 1, rows of 20: row 3 starts at 51; the field at 120 + 100, inset 3.
    const int32_t top = 10 + 1 + 2 * 20 + (20 - 13) / 2;
    EXPECT_EQ(w.edit.GetRect(), (DG::Rect{223, top, 223 + 94, top + 13}));
    w.list.RemoveOnTabItem(2);
    EXPECT_FALSE(w.edit.IsVisible());
    EXPECT_EQ(w.list.GetOnTabItem(2), nullptr);
}

TEST_F(DGModelessDialogTest, RowsKeepTheirSelectionAndTextsWhenRowsComeAndGo) {
    struct Case {
        int16_t selected, deleted, expected;
    };
    for (const Case c :
         {Case{2, 1, 1}, Case{2, 2, 0}, Case{2, 3, 2}, Case{3, DG::ListBox::AllItems, 0}}) {
        Window w(module);
        w.list.SetTabFieldCount(1);
        for (int row = 1; row <= 3; ++row) w.list.AppendItem();
        w.list.SetTabItemText(2, 1, "two");
        w.list.SelectItem(c.selected);
        w.list.DeleteItem(c.deleted);
        EXPECT_EQ(w.list.GetSelectedItem(), c.expected) << c.selected << " " << c.deleted;
        w.list.InsertItem(1);
        EXPECT_EQ(w.list.GetTabItemText(3, 1), c.deleted == 3 ? "two" : "") << c.deleted;
    }
}

class CellPainter : public DG::ListBoxObserver {
public:
    std::vector<std::pair<int, int>> asked;  // (row, field)
    void ListBoxTabFieldUpdate(const DG::ListBoxUpdateEvent& ev) override {
        asked.emplace_back(ev.GetListItem(), ev.GetTabFieldIndex());
        DG::DrawContext& dc = ev.GetDrawContext();
        dc.SetForeColor({0, 0, 0xFFFF});
        dc.PaintRect({0, 0, ev.GetWidth(), ev.GetHeight()});
    }
};

TEST_F(DGModelessDialogTest, RenderAsksObserversForOwnerDrawnCellsAndColoursRows) {
    Window w(module);
    CellPainter painter;
    w.list.Attach(painter);
    TwoFields(w.list, 160);
    w.list.SetTabFieldOwnerDrawFlag(2, true);
    for (int row = 1; row <= 2; ++row) w.list.AppendItem();
    w.list.SetTabItemText(2, 1, "MMMM");
    w.list.SetItemColor(2, {255, 0, 0, 255});
    w.list.SelectItem(1);
    const DG::Picture picture = w.Render();
    EXPECT_EQ(picture.Height(), 300 + DG::Panel::kTitleBarHeight);
    EXPECT_EQ(painter.asked, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
    // Row 2's owned cell: list at (120, 10) under the title bar, frame 1, rows of 20.
    const int y0 = DG::Panel::kTitleBarHeight + 10 + 1 + 20;
    EXPECT_EQ(picture.At(120 + 100, y0), KXPixel(0, 0, 0xFF));
    EXPECT_EQ(picture.At(120 + 159, y0 + 19), KXPixel(0, 0, 0xFF));
    EXPECT_NE(picture.At(120 + 160, y0), KXPixel(0, 0, 0xFF)) << "the cell ends at its field";
    // Only the selected row 1 has the selection's background; row 2's stays white.
    EXPECT_EQ(picture.At(120 + 200, y0 - 10), KXPixel(0xB4, 0xD5, 0xFE));
    EXPECT_EQ(picture.At(120 + 200, y0 + 10), KXPixel(0xFF, 0xFF, 0xFF));
    int red = 0;
    for (int y = y0; y < y0 + 20; ++y)
        for (int x = 121; x < 220; ++x) {
            const uint32_t p = picture.At(x, y);
            if (KXPixelRed(p) > 200 && KXPixelGreen(p) < 80) ++red;
        }
    EXPECT_GT(red, 10) << "row 2's text is red";
}

}  // namespace
