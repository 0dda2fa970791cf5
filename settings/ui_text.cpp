#include "settings/ui_text.h"

int uiTextLanguageOffset = kUiTextRussian;
