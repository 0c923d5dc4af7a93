#include <algorithm>

#include "KX/DisposableObject.h"
#include "KX/ObjectDisposer.h"

namespace KX {

ObjectDisposer::~ObjectDisposer() { DisposeMarked(); }

ObjectDisposer& ObjectDisposer::Default() {
    // Never destroyed: objects deleted during the process's exit still ask it to forget them.
    static ObjectDisposer* disposer = new ObjectDisposer;
    return *disposer;
}

void ObjectDisposer::MarkAsDisposable(DisposableObject* object) {
    if (object != nullptr && !IsMarked(object)) marked_.push_back(object);
}

bool ObjectDisposer::IsMarked(const DisposableObject* object) const {
    return std::find(marked_.begin(), marked_.end(), object) != marked_.end();
}

size_t ObjectDisposer::DisposeMarked() {
    size_t count = 0;
    // A destructor may mark further objects; they go in the same round.
    while (!marked_.empty()) {
        DisposableObject* object = marked_.back();
        marked_.pop_back();
        delete object;
        ++count;
    }
    return count;
}

void ObjectDisposer::Forget(const DisposableObject* object) { std::erase(marked_, object); }

}  // namespace KX
