#pragma once

#include "platform/palette_services.h"

// The colour-map services over X11. A logical palette becomes a private
// colormap of the window's visual, written cell for cell at each
// realisation and installed when the window is in the foreground; this only
// happens on a window whose visual is PseudoColor or GrayScale. The default
// palette is the standard set of 20 static colours, the system palette use
// and the interface colours are the saver's own (docs/shell.md says why).
const PaletteServices* X11PaletteServices();
