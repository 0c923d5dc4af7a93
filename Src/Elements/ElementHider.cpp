#include "Elements/ElementHider.h"

void ElementHider::Create() {}
