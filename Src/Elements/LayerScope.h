#pragma once
// The layers opened for a walk over the elements' link records: every locked layer unlocked and,
// when asked, the add-on's own hidden layer shown. Both are put back however the scope is left,
// an exception included, so that no walk can leave the user's layers unlocked or the hidden
// elements in view.
class ElementHider;

class LayerScope {
public:
    enum Layers { UnlockOnly, UnlockAndShowHiddenLayer };
    LayerScope(ElementHider& hider, Layers layers);
    ~LayerScope();
    LayerScope(const LayerScope&) = delete;
    LayerScope& operator=(const LayerScope&) = delete;

private:
    ElementHider& hider;
    bool hiddenLayerShown = false;
};
