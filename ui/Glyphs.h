#pragma once

#include <QIcon>

// The push-button glyph NAME ("ok", "cancel", "program", "add", "remove") in every size it is
// drawn at: 16 x 16 for 100 %, 24 x 24 and 32 x 32 for displays scaled to 150 % and 200 %, so
// that Qt paints the sharp picture of the scale instead of enlarging the small one.
QIcon GlyphIcon(const char* name);
