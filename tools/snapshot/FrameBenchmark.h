// Frame timing of the renderer in the snapshot window: a series of whole
// frames as the program shows them, and the standard table of the methods.
#pragma once

#include "FrameStatistics.h"
#include "SnapshotOptions.h"
#include "SnapshotWindow.h"

#include <ostream>
#include <string>
#include <vector>

namespace KorvanaFramework
{
class Renderer;
}

namespace Snapshot
{
// One configuration of the standard table: its name and the bar edits that
// make it from any earlier one.
struct TableRow
{
    std::string name;
    std::vector<Setting> settings;
};

// The methods with their main variants, no shadow first: the row every
// other one is compared with; shadow mapping at every map size and filter,
// the default (512, Brak) first, then fitted to the casters at 512 Brak and
// 2048 PCF and, where the bar offers it, in a cube map at 512 and 1024 with
// Brak and PCF; then the soft filters and the error view over the modes it
// checks.
std::vector<TableRow> StandardTable(bool cubeMapOffered);

// Times `frames` whole frames (the renderer's frame with its glFinish, then
// the swap) after a few unmeasured ones; milliseconds per frame.
std::vector<double> TimeFrames(KorvanaFramework::Renderer& renderer, SnapshotWindow& window, int frames);

// One line of figures: mean, median and 95th percentile in milliseconds.
std::string FormatStatistics(const FrameStatistics& statistics);

// Times every row of the table `rounds` times, the rows taking turns so
// that a busy machine slows them alike, keeps each row's round with the
// lowest median and prints the table with each median's ratio to the first
// row's. False with a message when the bars refuse a row's setting.
bool RunFrameTable(KorvanaFramework::Renderer& renderer, SnapshotWindow& window, int frames, int rounds,
                   std::ostream& out, std::string& error);
}
