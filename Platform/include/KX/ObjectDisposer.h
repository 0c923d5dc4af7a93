#pragma once
// Deletes the objects marked as disposable, later, when nothing is using them any more.
#include <cstddef>
#include <vector>

namespace KX {

class DisposableObject;

class ObjectDisposer {
public:
    ObjectDisposer() = default;
    ~ObjectDisposer();  // deletes what is still marked
    ObjectDisposer(const ObjectDisposer&) = delete;
    ObjectDisposer& operator=(const ObjectDisposer&) = delete;

    // The toolkit's default disposer.
    static ObjectDisposer& Default();

    // Marking twice is marking once.
    void MarkAsDisposable(DisposableObject* object);
    bool IsMarked(const DisposableObject* object) const;
    // Deletes every marked object; returns how many.
    size_t DisposeMarked();
    // An object deleted by someone else stops being marked.
    void Forget(const DisposableObject* object);

private:
    std::vector<DisposableObject*> marked_;
};

}  // namespace KX
