#include "KX/DisposableObject.h"
#include "KX/ObjectDisposer.h"

namespace KX {

DisposableObject::~DisposableObject() {
    if (disposer_ != nullptr) disposer_->Forget(this);
    ObjectDisposer::Default().Forget(this);
}

void DisposableObject::SetDisposer(ObjectDisposer* disposer) {
    if (disposer_ != nullptr && disposer_ != disposer && disposer_->IsMarked(this)) {
        disposer_->Forget(this);
        if (disposer != nullptr) disposer->MarkAsDisposable(this);
    }
    disposer_ = disposer;
}

void DisposableObject::SetDefaultDisposer() { SetDisposer(&ObjectDisposer::Default()); }

void DisposableObject::MarkAsDisposable() {
    (disposer_ != nullptr ? *disposer_ : ObjectDisposer::Default()).MarkAsDisposable(this);
}

}  // namespace KX
