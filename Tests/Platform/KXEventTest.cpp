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

TEST(KXEventSourceTest, ObserversHearInAttachOrderOnceEach) {
    std::vector<std::string> log;
    Speaker s;
    Listener a(log, "a"), b(log, "b");
    s.Attach(b);
    s.Attach(a);
    s.Attach(b);
    s.Say();
    EXPECT_EQ(log, (std::vector<std::string>{"b heard", "a heard"}));
}

TEST(KXEventSourceTest, ObserverDetachedDuringRoundIsSkipped) {
    std::vector<std::string> log;
    Speaker s;
    Listener a(log, "a"), b(log, "b");
    s.Attach(a);
    s.Attach(b);
    a.onHeard = [&] { s.Detach(b); };
    s.Say();
    EXPECT_EQ(log, (std::vector<std::string>{"a heard"}));
}

TEST(KXEventSourceTest, DestroyedSourceTellsEachObserverOnceAndLetsGo) {
    std::vector<std::string> log;
    Listener a(log, "a"), b(log, "b");
    {
        Speaker s;
        s.Attach(a);
        s.Attach(b);
        EXPECT_TRUE(a.IsAttachedTo(s));
    }
    EXPECT_EQ(log, (std::vector<std::string>{"a gone", "b gone"}));
}

TEST(KXEventSourceTest, ObserverDestroyedFirstLeavesNoDanglingLink) {
    std::vector<std::string> log;
    Speaker s;
    {
        Listener a(log, "a");
        s.Attach(a);
    }
    s.Say();  // would touch freed memory if the link stayed (the sanitizer build catches it)
    EXPECT_TRUE(log.empty());
}

class Counted : public KX::DisposableObject {
public:
    explicit Counted(int& deaths) : deaths_(deaths) {}
    ~Counted() override { ++deaths_; }
    int& deaths_;
};

TEST(KXObjectDisposerTest, MarkedObjectsDieAtTheNextRoundOnlyOnce) {
    int deaths = 0;
    KX::ObjectDisposer disposer;
    auto* a = new Counted(deaths);
    auto* b = new Counted(deaths);
    a->SetDisposer(&disposer);
    b->SetDisposer(&disposer);
    a->MarkAsDisposable();
    a->MarkAsDisposable();
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(disposer.DisposeMarked(), 1u);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(disposer.DisposeMarked(), 0u);
    delete b;
    EXPECT_EQ(deaths, 2);
}

TEST(KXObjectDisposerTest, ObjectDeletedByItsOwnerIsForgotten) {
    int deaths = 0;
    KX::ObjectDisposer disposer;
    auto* a = new Counted(deaths);
    a->SetDisposer(&disposer);
    a->MarkAsDisposable();
    delete a;
    EXPECT_FALSE(disposer.IsMarked(a));
    EXPECT_EQ(disposer.DisposeMarked(), 0u);
    EXPECT_EQ(deaths, 1);
}

TEST(KXObjectDisposerTest, DefaultDisposerTakesUnassignedObjects) {
    int deaths = 0;
    auto* a = new Counted(deaths);
    a->MarkAsDisposable();
    EXPECT_TRUE(KX::ObjectDisposer::Default().IsMarked(a));
    KX::ObjectDisposer::Default().DisposeMarked();
    EXPECT_EQ(deaths, 1);
}

}  // namespace
