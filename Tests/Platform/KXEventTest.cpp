#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KX/DisposableObject.h"
#include "KX/EventObserver.h"
#include "KX/EventSource.h"
#include "KX/ObjectDisposer.h"

namespace {

struct Ping {};

class Listener : public KX::EventObserver {
public:
    Listener(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    void SourceDestroyed(KX::EventSource*) override { log_.push_back(name_ + " gone"); }
    void Heard() { log_.push_back(name_ + " heard"); }

    std::vector<std::string>& log_;
    std::string name_;
    std::function<void()> onHeard;
};

class Speaker : public KX::EventSource {
public:
    void Say() {
        Notify<Listener>([](Listener& l) {
            l.Heard();
            if (l.onHeard) l.onHeard();
        });
    }
};

// A source dying first and an observer dying first are checked with a dialog's items and their
// observers (DGModelessDialogTest).
TEST(KXEventSourceTest, ObserversHearInAttachOrderOnceEachAndOneDetachedMidRoundIsSkipped) {
    std::vector<std::string> log;
    Speaker s;
    Listener a(log, "a"), b(log, "b");
    s.Attach(b);
    s.Attach(a);
    s.Attach(b);
    s.Say();
    EXPECT_EQ(log, (std::vector<std::string>{"b heard", "a heard"}));
    log.clear();
    b.onHeard = [&] { s.Detach(a); };
    s.Say();
    EXPECT_EQ(log, (std::vector<std::string>{"b heard"}));
    EXPECT_FALSE(a.IsAttachedTo(s));
}

class Counted : public KX::DisposableObject {
public:
    explicit Counted(int& deaths) : deaths_(deaths) {}
    ~Counted() override { ++deaths_; }
    int& deaths_;
};

TEST(KXObjectDisposerTest, MarkedObjectsDieAtTheNextRoundOnlyOnceAndDeletedOnesAreForgotten) {
    int deaths = 0;
    KX::ObjectDisposer disposer;
    auto* a = new Counted(deaths);
    auto* b = new Counted(deaths);
    auto* c = new Counted(deaths);
    for (Counted* o : {a, b, c}) o->SetDisposer(&disposer);
    a->MarkAsDisposable();
    a->MarkAsDisposable();
    c->MarkAsDisposable();
    delete c;  // by its owner, before the round
    EXPECT_FALSE(disposer.IsMarked(c));
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(disposer.DisposeMarked(), 1u);
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(disposer.DisposeMarked(), 0u);
    delete b;
    EXPECT_EQ(deaths, 3);
    // Objects without a disposer of their own go to the default one.
    auto* d = new Counted(deaths);
    d->MarkAsDisposable();
    EXPECT_TRUE(KX::ObjectDisposer::Default().IsMarked(d));
    KX::ObjectDisposer::Default().DisposeMarked();
    EXPECT_EQ(deaths, 4);
}

}  // namespace
