#include "Elements/LayerScope.h"

#include "Elements/ElementHider.h"

LayerScope::LayerScope(ElementHider& hider_, Layers layers) : hider(hider_) {
    hider.UnlockLayers();
    if (layers != UnlockAndShowHiddenLayer) return;
    try {
        hider.ShowPWLayer(true);
        hiddenLayerShown = true;
    } catch (...) {
        hider.LockLayers();
        throw;
    }
}

LayerScope::~LayerScope() {
    // Each step on its own: a failure of one must not keep the other from being done.
    if (hiddenLayerShown) {
        try {
            hider.ShowPWLayer(false);
        } catch (...) {
        }
    }
    try {
        hider.LockLayers();
    } catch (...) {
    }
}
