#include "ElementHider.h"

void ElementHider::Create() {}
