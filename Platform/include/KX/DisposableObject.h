#pragma once
// An object that may be handed to an object disposer: once marked, the disposer deletes it at its
// next round, after the event that marked it has been delivered in full.
namespace KX {

class ObjectDisposer;

class DisposableObject {
public:
    DisposableObject() = default;
    virtual ~DisposableObject();
    DisposableObject(const DisposableObject&) = delete;
    DisposableObject& operator=(const DisposableObject&) = delete;

    void SetDisposer(ObjectDisposer* disposer);
    // The toolkit's own disposer, which the host empties between events.
    void SetDefaultDisposer();
    ObjectDisposer* GetDisposer() const { return disposer_; }
    // Marks this object for its disposer (the default one when none is set).
    void MarkAsDisposable();

private:
    ObjectDisposer* disposer_ = nullptr;
};

}  // namespace KX
