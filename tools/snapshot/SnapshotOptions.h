// The snapshot tool's command line, and how each option reaches the bars:
// every setting goes through the same edits a user makes in the bars, so
// the bars' callbacks, limits and visibility rules all apply.
#pragma once

#include <string>
#include <vector>

namespace Snapshot
{
// One edit of a bar row ("bar/row" or "bar/row/member"): a number, a label
// of an enumeration or switch, a colour "r,g,b", or a button press.
struct Setting
{
    std::string path;
    std::string value;
    bool press = false;
};

struct Request
{
    int width = 1024;
    int height = 768;
    std::string output = "korvana-snapshot.png";
    std::string scene;  // empty: Scene/test.obj beside the executable
    std::vector<Setting> settings;  // in the order given
    bool moveCamera = false;
    float yaw = 0.0f;
    float pitch = 0.0f;
    float distance = 10.0f;
    float panX = 0.0f;
    float panY = 0.0f;
    bool help = false;
    bool probe = false;  // only whether a window with a GL context opens
    int frames = 0;      // frames to time before the picture; 0: none
    bool frameTable = false;  // the standard table of frame times
    int rounds = 3;           // rounds of the table, the best of which counts
};

// False with a message for an unknown option or a malformed value.
bool ParseArguments(const std::vector<std::string>& arguments, Request& request, std::string& error);

// Makes one edit through the bars; false with a message when the bars refuse
// it (unknown, hidden or read-only row, or a value the row does not offer).
bool ApplySetting(const Setting& setting, std::string& error);

// The text of --help.
const char* Usage();
}
