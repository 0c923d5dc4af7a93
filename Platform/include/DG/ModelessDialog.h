#pragma once
// A modeless dialog (palette, progress window): lives beside the host's own windows, shown and
// hidden at will, and takes events between BeginEventProcessing and EndEventProcessing.
#include "DG/Panel.h"

namespace DG {

class ModelessDialog : public Panel {
public:
    ModelessDialog(GSResModule module, int16_t resId) : Panel(module, resId) {}
};

}  // namespace DG
