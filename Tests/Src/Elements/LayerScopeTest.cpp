// The layers a walk over the link records opens: the user's locked layer unlocked and the add-on's
// hidden layer shown inside the scope, both as they were after it, whichever way it is left.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Elements/LayerScope.h"
#include "Src/Elements/ElementsFixture.h"

namespace {

class LayerScopeTest : public ElementsTest, public ::testing::WithParamInterface<bool> {
protected:
    int16_t HiddenLayer() const {
        return static_cast<int16_t>(Model().FindLayer(ElementHider::HiddenLayerName));
    }
};

TEST_P(LayerScopeTest, PutsTheLayersBackAlsoWhenAnExceptionLeavesIt) {
    const bool throws = GetParam();
    try {
        const LayerScope scope(hider, LayerScope::UnlockAndShowHiddenLayer);
        EXPECT_FALSE(Model().LayerLocked(4)) << "the user's locked layer is open for the walk";
        ASSERT_GT(HiddenLayer(), 0);
        EXPECT_FALSE(Model().LayerHidden(HiddenLayer()));
        if (throws) throw std::runtime_error("a walk that fails half-way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(Model().LayerLocked(4));
    EXPECT_TRUE(Model().LayerHidden(HiddenLayer()));
    EXPECT_TRUE(Model().LayerHidden(3)) << "the user's hidden layer is left alone";
    EXPECT_FALSE(Model().LayerLocked(2));
}

INSTANTIATE_TEST_SUITE_P(LeftNormallyOrByAnException, LayerScopeTest, ::testing::Bool());

}  // namespace
