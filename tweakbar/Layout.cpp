#include "Layout.h"

#include <algorithm>

namespace TweakBar
{
namespace
{
constexpr float helpMargin = 16.0f;  // from the window's left and bottom edges
constexpr float helpWidth = 360.0f;
constexpr float gap = 4.0f;          // between a bar and one it keeps clear of
constexpr float leastLabelWidth = 60.0f;

bool Overlap(float begin, float end, float otherBegin, float otherEnd)
{
    return begin < otherEnd && otherBegin < end;
}

bool Drawn(const CTwBar& bar)
{
    return !bar.deleted && bar.settings.visible;
}

// A bar asked for beyond the right edge is docked at it.
bool DockedRight(const Library& library, const CTwBar& bar)
{
    return library.windowWidth > 0 && bar.settings.x + bar.settings.width > library.windowWidth;
}

// The bar's own settings kept inside the window. A bar placed below the
// window docks at its bottom edge, as a large x docks at the right. A bar
// whose place is inside the window keeps it and gets shorter where it does
// not fit (its rows scroll), so it never slides over the bars above it.
Rect InsideWindow(const Library& library, const BarSettings& settings)
{
    const float width = static_cast<float>(settings.width);
    float height = static_cast<float>(settings.height);
    float x = static_cast<float>(settings.x);
    float y = static_cast<float>(settings.y);
    const float windowWidth = static_cast<float>(library.windowWidth);
    const float windowHeight = static_cast<float>(library.windowHeight);
    const float title = library.titleHeight;
    if (windowWidth > 0)
        x = std::max(0.0f, std::min(x, windowWidth - width));
    if (windowHeight > 0) {
        if (y + title > windowHeight)
            y = std::max(0.0f, windowHeight - (settings.iconified ? title : height));
        height = std::max(std::min(title, height), std::min(height, windowHeight - y));
    }
    return Rect{x, y, x + width, y + height};
}

// A bar docked at the right edge begins right of the bars beside it that
// stay where they are asked for, and gets narrower for that, down to its
// values column and a little of its labels.
void KeepClearOfBarsOnTheLeft(const Library& library, const CTwBar& bar, Rect& rect)
{
    if (!DockedRight(library, bar))
        return;
    float left = rect[0];
    for (const auto& other : library.bars) {
        if (other.get() == &bar || !Drawn(*other) || DockedRight(library, *other))
            continue;
        const Rect beside = BarRectangle(library, *other);
        if (Overlap(rect[0], rect[2], beside[0], beside[2]) && Overlap(rect[1], rect[3], beside[1], beside[3]))
            left = std::max(left, beside[2] + gap);
    }
    const float narrowest = std::min(rect[2] - rect[0], bar.settings.valuesWidth + leastLabelWidth);
    rect[0] = std::min(left, rect[2] - narrowest);
}

// A bar above the folded help bar ends above it, keeping at least its title.
void KeepClearOfHelpBar(const Library& library, Rect& rect)
{
    if (library.windowHeight <= 0 || !HelpBarShown(library))
        return;
    const Rect help = FoldedHelpBar(library);
    if (!Overlap(rect[0], rect[2], help[0], help[2]) || rect[3] <= help[1] - gap)
        return;
    rect[3] = std::min(rect[3], std::max(rect[1] + library.titleHeight, help[1] - gap));
}
}

bool HelpBarShown(const Library& library)
{
    return !library.globalHelp.empty() || std::any_of(library.bars.begin(), library.bars.end(), [](const auto& bar) {
               return Drawn(*bar) && !bar->settings.help.empty();
           });
}

Rect FoldedHelpBar(const Library& library)
{
    const float bottom = static_cast<float>(library.windowHeight) - helpMargin;
    return Rect{helpMargin, bottom - library.titleHeight, helpMargin + helpWidth, bottom};
}

Rect LaidOut(const Library& library, const CTwBar& bar)
{
    Rect rect = InsideWindow(library, bar.settings);
    KeepClearOfBarsOnTheLeft(library, bar, rect);
    KeepClearOfHelpBar(library, rect);
    return rect;
}

Rect BarRectangle(const Library& library, const CTwBar& bar)
{
    Rect rect = bar.placementPending ? LaidOut(library, bar) : bar.placed;
    if (bar.settings.iconified)
        rect[3] = rect[1] + library.titleHeight;
    return rect;
}
}
