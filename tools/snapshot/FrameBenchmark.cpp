#include "FrameBenchmark.h"

#include "Renderer.h"

#include <GL/glew.h>

#include <chrono>
#include <cstdio>

namespace Snapshot
{
namespace
{
// Frames drawn before timing starts: the bars lay themselves out and a newly
// chosen method fills its buffers.
constexpr int WarmUpFrames = 3;

Setting Mode(const char* mode)
{
    return {"main/rederingMode", mode};
}

// Every row but the error view's own starts with the view off, so that no
// row inherits it from the one before.
const Setting ErrorViewOff{"main/errorView", "Wylaczone"};

// The volume method with both of its switches and the visible volumes set,
// so that a row never inherits them from the row before.
TableRow VolumeRow(const char* name, const char* counting, const char* darkening, const char* visible)
{
    return {name,
            {Mode("2"),
             {"volume/stencilOperation", counting},
             {"volume/useDarkening", darkening},
             {"volume/drawVolumes", visible}}};
}

// Shadow mapping at one map size and filter, the default preview and
// outline kept; fitted to the casters or not, in a cube map or not (the
// cube map's switch only where the bar offers it).
TableRow MapRow(const std::string& size, const std::string& filter, bool fitted, bool cube, bool cubeOffered)
{
    const std::string variant = fitted ? "fitted " : cube ? "cube " : "";
    TableRow row{"3 map " + size + " " + variant + filter.substr(0, filter.find(' ')),
                 {Mode("3"),
                  {"mapped/mapSize", size},
                  {"mapped/filtering", filter},
                  {"mapped/fitFrustum", fitted ? "Wlaczone" : "Wylaczone"}}};
    if (cubeOffered)
        row.settings.push_back({"mapped/cubeMap", cube ? "Wlaczone" : "Wylaczone"});
    return row;
}

// A configuration with the error view on; the rows after it switch it off.
TableRow ErrorViewRow(const char* name, std::vector<Setting> settings)
{
    settings.push_back({"main/errorView", "Wlaczone"});
    return {name, settings};
}
}

std::vector<TableRow> StandardTable(bool cubeMapOffered)
{
    std::vector<TableRow> table{
        {"0 no shadow", {Mode("0")}},
        {"1 black", {Mode("1"), {"projected/useDarkening", "Wylaczone"}}},
        {"1 darkened", {Mode("1"), {"projected/useDarkening", "Wlaczone"}}},
        VolumeRow("2 depth-pass two-pass", "Depth-Pass", "Wylaczone", "Wylaczone"),
        VolumeRow("2 depth-pass darkening", "Depth-Pass", "Wlaczone", "Wylaczone"),
        VolumeRow("2 depth-fail two-pass", "Depth-Fail", "Wylaczone", "Wylaczone"),
        VolumeRow("2 depth-fail darkening", "Depth-Fail", "Wlaczone", "Wylaczone"),
        VolumeRow("2 visible volumes", "Depth-Pass", "Wylaczone", "Wlaczone"),
    };
    for (const char* size : {"512", "1024", "2048", "4096"})
        for (const char* filter : {"Brak", "Liniowe 2x2", "PCF 4x4"})
            table.push_back(MapRow(size, filter, false, false, cubeMapOffered));
    table.push_back(MapRow("512", "Brak", true, false, cubeMapOffered));
    table.push_back(MapRow("2048", "PCF 4x4", true, false, cubeMapOffered));
    if (cubeMapOffered) {
        for (const char* size : {"512", "1024"})
            for (const char* filter : {"Brak", "PCF 4x4"})
                table.push_back(MapRow(size, filter, false, true, true));
        TableRow cubePcss = MapRow("1024", "Miekkie (PCSS)", false, true, true);
        cubePcss.name = "3 map 1024 cube PCSS";
        table.push_back(cubePcss);
    }
    for (const std::string size : {"1024", "2048"}) {
        TableRow pcss = MapRow(size, "Miekkie (PCSS)", false, false, cubeMapOffered);
        pcss.name = "3 map " + size + " PCSS";
        table.push_back(pcss);
        TableRow variance = MapRow(size, "Wariancyjne (VSM)", false, false, cubeMapOffered);
        variance.name = "3 map " + size + " VSM blur 5";
        variance.settings.push_back({"mapped/blur", "5"});
        table.push_back(variance);
    }
    table.push_back(ErrorViewRow("1 error view", {Mode("1"), {"projected/useDarkening", "Wylaczone"}}));
    table.push_back(ErrorViewRow("2 depth-fail error view",
                                 VolumeRow("", "Depth-Fail", "Wylaczone", "Wylaczone").settings));
    table.push_back(
        ErrorViewRow("3 map 512 Brak error view", MapRow("512", "Brak", false, false, cubeMapOffered).settings));
    return table;
}

std::vector<double> TimeFrames(KorvanaFramework::Renderer& renderer, SnapshotWindow& window, int frames)
{
    using Clock = std::chrono::steady_clock;
    for (int frame = 0; frame < WarmUpFrames; ++frame) {
        renderer.RenderFrame();
        window.Present();
    }
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(frames));
    for (int frame = 0; frame < frames; ++frame) {
        const Clock::time_point start = Clock::now();
        renderer.RenderFrame();
        window.Present();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return times;
}

std::string FormatStatistics(const FrameStatistics& statistics)
{
    char line[96];
    std::snprintf(line, sizeof line, "mean %.2f ms, median %.2f ms, 95th percentile %.2f ms", statistics.mean,
                  statistics.median, statistics.percentile95);
    return line;
}

bool RunFrameTable(KorvanaFramework::Renderer& renderer, SnapshotWindow& window, int frames, int rounds,
                   std::ostream& out, std::string& error)
{
    const std::vector<TableRow> table = StandardTable(renderer.shadowCube.Ready());
    std::vector<FrameStatistics> best(table.size());
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t row = 0; row < table.size(); ++row) {
            if (renderer.options.errorViewOffered && !ApplySetting(ErrorViewOff, error))
                return false;
            for (const Setting& setting : table[row].settings)
                if (!ApplySetting(setting, error))
                    return false;
            const FrameStatistics statistics = Summarise(TimeFrames(renderer, window, frames));
            if (round == 0 || statistics.median < best[row].median)
                best[row] = statistics;
        }
    }
    out << "GL renderer: " << reinterpret_cast<const char*>(glGetString(GL_RENDERER)) << "\n"
        << renderer.ViewportWidth() << "x" << renderer.ViewportHeight() << ", " << frames
        << " frames per round, best of " << rounds << " rounds (lowest median), times in ms\n";
    char line[128];
    std::snprintf(line, sizeof line, "%-26s %8s %8s %8s %7s\n", "configuration", "mean", "median", "p95", "ratio");
    out << line;
    for (std::size_t row = 0; row < table.size(); ++row) {
        std::snprintf(line, sizeof line, "%-26s %8.2f %8.2f %8.2f %6.2fx\n", table[row].name.c_str(),
                      best[row].mean, best[row].median, best[row].percentile95,
                      best[row].median / best[0].median);
        out << line;
    }
    return true;
}
}
