#include "SnapshotOptions.h"

#include "tweakbar/TweakBarTesting.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace Snapshot
{
namespace
{
constexpr int MaxFrames = 100000;
constexpr int MaxRounds = 100;

// The standard table's window and frames per round when --frames is not given.
constexpr int TableWidth = 1280;
constexpr int TableHeight = 1024;
constexpr int TableFrames = 100;

// The whole text as a number, or false.
bool ParseNumber(const std::string& text, double& number)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    return *end == '\0';
}

// Numbers separated by commas, exactly `count` of them.
bool ParseNumbers(const std::string& text, std::size_t count, std::vector<double>& numbers)
{
    numbers.clear();
    std::stringstream stream(text);
    std::string part;
    double number = 0.0;
    while (std::getline(stream, part, ',')) {
        if (!ParseNumber(part, number))
            return false;
        numbers.push_back(number);
    }
    return numbers.size() == count;
}

// A whole number within min..max.
bool ParseCount(const std::string& text, int min, int max, int& count)
{
    double number = 0.0;
    if (!ParseNumber(text, number) || number != static_cast<int>(number) || number < min || number > max)
        return false;
    count = static_cast<int>(number);
    return true;
}

// "1024x768".
bool ParseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    double w = 0.0, h = 0.0;
    if (x == std::string::npos || !ParseNumber(text.substr(0, x), w) || !ParseNumber(text.substr(x + 1), h) ||
        w < 1 || h < 1 || w > 8192 || h > 8192)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// The light bar's label of a kind of light given in English.
bool LightLabel(const std::string& kind, std::string& label)
{
    static const std::map<std::string, std::string> labels = {
        {"point", "Punktowe"}, {"directional", "Kierunkowe"}, {"spot", "Reflektor"}};
    const auto found = labels.find(kind);
    if (found == labels.end())
        return false;
    label = found->second;
    return true;
}

// One option with its value; false with a message.
bool ParseOption(const std::string& option, const std::string& value, Request& request, std::string& error)
{
    std::vector<double> numbers;
    if (option == "--mode") {
        double mode = 0.0;
        if (!ParseNumber(value, mode) || mode < 0 || mode > 3) {
            error = "--mode takes 0, 1, 2 or 3";
            return false;
        }
        request.settings.push_back({"main/rederingMode", value});
    } else if (option == "--light") {
        std::string label;
        if (!LightLabel(value, label)) {
            error = "--light takes point, directional or spot";
            return false;
        }
        request.settings.push_back({"light/lightType", label});
    } else if (option == "--light-position") {
        if (!ParseNumbers(value, 3, numbers)) {
            error = "--light-position takes x,y,z";
            return false;
        }
        const char* members[] = {"light/position/x", "light/position/y", "light/position/z"};
        for (int i = 0; i < 3; ++i)
            request.settings.push_back({members[i], std::to_string(numbers[i])});
    } else if (option == "--set") {
        const std::size_t equals = value.find('=');
        if (equals == std::string::npos || equals == 0) {
            error = "--set takes bar/row=value";
            return false;
        }
        request.settings.push_back({value.substr(0, equals), value.substr(equals + 1)});
    } else if (option == "--press") {
        request.settings.push_back({value, "", true});
    } else if (option == "--camera") {
        if (!ParseNumbers(value, 3, numbers) && !ParseNumbers(value, 5, numbers)) {
            error = "--camera takes yaw,pitch,distance or yaw,pitch,distance,panX,panY";
            return false;
        }
        request.moveCamera = true;
        request.yaw = static_cast<float>(numbers[0]);
        request.pitch = static_cast<float>(numbers[1]);
        request.distance = static_cast<float>(numbers[2]);
        if (numbers.size() == 5) {
            request.panX = static_cast<float>(numbers[3]);
            request.panY = static_cast<float>(numbers[4]);
        }
    } else if (option == "--size") {
        if (!ParseSize(value, request.width, request.height)) {
            error = "--size takes WIDTHxHEIGHT";
            return false;
        }
    } else if (option == "--frames") {
        if (!ParseCount(value, 1, MaxFrames, request.frames)) {
            error = "--frames takes a count from 1 to " + std::to_string(MaxFrames);
            return false;
        }
    } else if (option == "--rounds") {
        if (!ParseCount(value, 1, MaxRounds, request.rounds)) {
            error = "--rounds takes a count from 1 to " + std::to_string(MaxRounds);
            return false;
        }
    } else if (option == "--output" || option == "-o") {
        request.output = value;
    } else if (option == "--scene") {
        request.scene = value;
    } else {
        error = "unknown option " + option;
        return false;
    }
    return true;
}
}

bool ParseArguments(const std::vector<std::string>& arguments, Request& request, std::string& error)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            request.help = true;
            continue;
        }
        if (arguments[i] == "--probe") {
            request.probe = true;
            continue;
        }
        if (arguments[i] == "--frame-table") {
            request.frameTable = true;
            continue;
        }
        if (i + 1 == arguments.size()) {
            error = arguments[i] + " needs a value";
            return false;
        }
        if (!ParseOption(arguments[i], arguments[i + 1], request, error))
            return false;
        ++i;
    }
    if (request.frameTable) {
        request.width = TableWidth;
        request.height = TableHeight;
        if (request.frames == 0)
            request.frames = TableFrames;
    }
    return true;
}

bool ApplySetting(const Setting& setting, std::string& error)
{
    bool done = false;
    double number = 0.0;
    std::vector<double> colour;
    if (setting.press)
        done = TweakBarTesting::PressButton(setting.path);
    else if (ParseNumber(setting.value, number))
        done = TweakBarTesting::SetNumber(setting.path, number);
    else if (ParseNumbers(setting.value, 3, colour))
        done = TweakBarTesting::SetColor(setting.path, static_cast<float>(colour[0]), static_cast<float>(colour[1]),
                                         static_cast<float>(colour[2]));
    else
        done = TweakBarTesting::ChooseLabel(setting.path, setting.value);
    if (!done)
        error = setting.press ? "the bars have no button " + setting.path
                              : "the bars refuse " + setting.path + " = " + setting.value +
                                    " (unknown, hidden or read-only row, or a value it does not offer)";
    return done;
}

const char* Usage()
{
    return "korvana-snapshot [options]: renders frames of Korvana for about half a second, so\n"
           "that the main bar shows their frame time, and writes the last one as PNG.\n"
           "  --mode N                 shadow method: 0 none, 1 projected, 2 volumes, 3 mapping\n"
           "  --light KIND             point, directional or spot\n"
           "  --light-position X,Y,Z   where the light is\n"
           "  --set BAR/ROW=VALUE      any bar row: a number, a label (Wlaczone, Depth-Fail, ...)\n"
           "                           or a colour R,G,B; structure members as BAR/ROW/MEMBER\n"
           "  --press BAR/BUTTON       presses a bar's button (light/enabled)\n"
           "  --camera YAW,PITCH,DIST[,PANX,PANY]\n"
           "                           camera angles in degrees, distance and shift\n"
           "  --size WxH               image size (1024x768)\n"
           "  --output FILE            the PNG to write (korvana-snapshot.png)\n"
           "  --scene FILE             another OBJ scene (Scene/test.obj beside the program)\n"
           "  --probe                  only tells by the exit status whether a GL window opens\n"
           "  --frames N               first times N frames (frame, marker, bars, glFinish, swap)\n"
           "                           and prints their mean, median and 95th percentile\n"
           "  --frame-table            times the standard configurations of every method at\n"
           "                           1280x1024 (100 frames each unless --frames says otherwise)\n"
           "                           and prints each one's ratio to mode 0\n"
           "  --rounds N               rounds of the table, the best of which counts (3)\n"
           "Settings are made in the order given, as a user makes them in the bars.\n";
}
}
