#include "Palette/MainDialogObserver.h"

MainDialogObserver::MainDialogObserver(MainDialogCPP* dialog_) : dialog(dialog_) {}
