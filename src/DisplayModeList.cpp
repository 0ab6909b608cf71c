#include "DisplayModeList.h"

#include "platform/Win32Api.h"

#include <iterator>

namespace KorvanaFramework
{
namespace
{
using ModeIterator = std::list<DisplayMode>::const_iterator;
using ModeKey = uint32_t DisplayMode::*;

// Ascending by depth, width, height and frequency; the enumeration number
// takes no part, so equal modes keep their enumeration order in a stable sort.
bool ModeLess(const DisplayMode& a, const DisplayMode& b)
{
    if (a.bitsPerPixel != b.bitsPerPixel)
        return a.bitsPerPixel < b.bitsPerPixel;
    if (a.width != b.width)
        return a.width < b.width;
    if (a.height != b.height)
        return a.height < b.height;
    return a.frequency < b.frequency;
}

// The end of the run of modes that share the key value of `first`.
ModeIterator RunEnd(ModeIterator first, ModeIterator last, ModeKey key)
{
    const uint32_t value = (*first).*key;
    while (first != last && (*first).*key == value)
        ++first;
    return first;
}

// Narrows [first, last), sorted by `key`, to the run holding the wanted value,
// else the largest value below it, else the smallest value.
void NarrowTo(ModeIterator& first, ModeIterator& last, ModeKey key, uint32_t wanted)
{
    ModeIterator pick = first;
    for (ModeIterator run = first; run != last; run = RunEnd(run, last, key)) {
        const uint32_t value = (*run).*key;
        if (value > wanted)
            break;
        pick = run;
        if (value == wanted)
            break;
    }
    last = RunEnd(pick, last, key);
    first = pick;
}
}

// Enumerates until the first mode number the system does not know.
DisplayModeList::DisplayModeList()
{
    DEVMODEA devMode = {};
    devMode.dmSize = sizeof(devMode);
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &devMode); ++i) {
        if (devMode.dmBitsPerPel < 16)
            continue;
        modes.push_back({i, devMode.dmPelsWidth, devMode.dmPelsHeight, devMode.dmBitsPerPel,
                         devMode.dmDisplayFrequency});
    }
    modes.sort(ModeLess);
    cursor = modes.begin();
}

void DisplayModeList::ResetCursor()
{
    cursor = modes.begin();
}

std::string DisplayModeList::NextText()
{
    if (cursor == modes.end())
        return std::string();
    return ToString(*cursor++);
}

DisplayMode DisplayModeList::ModeAt(uint32_t position) const
{
    return *std::next(modes.begin(), position);
}

DisplayMode DisplayModeList::FindBest(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                                      uint32_t frequency) const
{
    ModeIterator first = modes.begin();
    ModeIterator last = modes.end();
    NarrowTo(first, last, &DisplayMode::bitsPerPixel, bitsPerPixel);
    NarrowTo(first, last, &DisplayMode::width, width);
    NarrowTo(first, last, &DisplayMode::height, height);
    NarrowTo(first, last, &DisplayMode::frequency, frequency);
    return *first;
}

uint32_t DisplayModeList::Count() const
{
    return static_cast<uint32_t>(modes.size());
}

bool DisplayModeList::Empty() const
{
    return modes.empty();
}

std::string DisplayModeList::ToString(const DisplayMode& mode)
{
    return std::to_string(mode.width) + " x " + std::to_string(mode.height) + " x " +
           std::to_string(mode.bitsPerPixel) + "bpp @ " + std::to_string(mode.frequency) + "Hz";
}
}
