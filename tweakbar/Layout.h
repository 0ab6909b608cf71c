// Where the bars go in the window: each where its settings ask, kept inside
// the window, and made shorter or narrower rather than laid over another bar
// or the help bar when the window is too small for all of them.
#pragma once

#include "Model.h"

namespace TweakBar
{
// True when the help bar has something to show.
bool HelpBarShown(const Library& library);

// The folded help bar at the bottom left of the window.
Rect FoldedHelpBar(const Library& library);

// The unfolded rectangle the bar takes when it is next placed.
Rect LaidOut(const Library& library, const CTwBar& bar);

// Where the bar is on the screen: as laid out until its window takes that
// place, then wherever the user moves or sizes the window.
Rect BarRectangle(const Library& library, const CTwBar& bar);
}
