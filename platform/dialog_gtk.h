#pragma once

// The GTK 3 back end of the dialog host: every later dialog, message box and
// folder chooser is shown with GTK widgets on the X display. Returns 1, or 0
// (changing nothing, so the headless back end stays) when GTK cannot open
// the display.
int DialogUseGtk();
