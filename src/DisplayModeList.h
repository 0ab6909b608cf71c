// The catalogue of the primary display's modes of 16 bits per pixel or more,
// sorted for the setup dialog's list and for finding the closest mode.
#pragma once

#include <cstdint>
#include <list>
#include <string>

namespace KorvanaFramework
{
struct DisplayMode {
    uint32_t modeIndex;  // number that EnumDisplaySettingsA gave this mode under
    uint32_t width;
    uint32_t height;
    uint32_t bitsPerPixel;
    uint32_t frequency;
};

class DisplayModeList
{
public:
    DisplayModeList();

    void ResetCursor();
    // The text of the mode under the cursor, then moves on; "" past the end.
    std::string NextText();
    // The caller guarantees 0 <= position < Count().
    DisplayMode ModeAt(uint32_t position) const;
    // The closest mode: exact, else the largest below, else the smallest
    // value, key by key. The caller guarantees the list is not empty.
    DisplayMode FindBest(uint32_t width, uint32_t height, uint32_t bitsPerPixel,
                         uint32_t frequency) const;
    uint32_t Count() const;
    bool Empty() const;

    static std::string ToString(const DisplayMode& mode);

private:
    std::list<DisplayMode> modes;
    std::list<DisplayMode>::iterator cursor;
};
}
