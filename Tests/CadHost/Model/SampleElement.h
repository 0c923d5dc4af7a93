#pragma once
// An element made by hand for the tests that start from a small project: every value it keeps
// stands apart, so that a test sees which one was saved, hidden or given back.
#include <string>

#include "Model/Element.h"
#include "Model/ElementTypes.h"

namespace ModelTest {

// Distinct pens (from 10), materials (from 2), every switch on, and a body for the types that
// have one.
inline CadHost::Element SampleElement(API_ElemTypeID type, const std::string& id, int16_t layer) {
    CadHost::Element e;
    e.type = type;
    e.id = id;
    e.layer = layer;
    for (int i = 0; i < e.PenCount(); ++i) e.pens[size_t(i)] = int16_t(10 + i);
    for (int i = 0; i < e.MaterialCount(); ++i) e.materials[size_t(i)] = int16_t(2 + i);
    for (int i = 0; i < e.SwitchCount(); ++i) e.switches[size_t(i)] = 1;
    if (CadHost::ElementTypes::Of(type).hasBody)
        e.body.push_back({{{0, 0}, {1, 0}, {1, 1}}, 0, 3, 0});
    return e;
}

}  // namespace ModelTest
