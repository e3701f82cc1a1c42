#pragma once
// Colours of the editor model: TColor (0x00BBGGRR, or 0x80000000 + a system colour index) and the
// named colours. The one definition lives in the Qt-free platform colour header, so the model and
// the widget share the same names.

#include "platform/gui/Color.h"
