#include "VolumeTestSupport.h"

#include <cmath>

#include "Log.h"

#include <log4cxx/appenderskeleton.h>

namespace VolumeTests
{
SceneObject MakeObject(const std::string& name, const std::vector<Vec4>& positions,
                       const std::vector<Triangle>& triangles)
{
    SceneObject object;
    object.name = name;
    object.castsShadow = true;
    object.positions = positions;
    object.triangles = triangles;
    return object;
}

SceneObject Tetrahedron()
{
    return MakeObject("Tetra",
                      {{0, 0, 0, 1}, {0, 0, 1, 1}, {1, 0, 0, 1}, {0, -1, 0, 1}},
                      {{0, 1, 2}, {0, 2, 3}, {0, 3, 1}, {1, 3, 2}});
}

SceneObject Cube(const std::string& name, float low, float high)
{
    std::vector<Vec4> corners;
    for (int i = 0; i < 8; ++i)
        corners.push_back({i & 1 ? high : low, i & 2 ? high : low, i & 4 ? high : low, 1.0f});
    return MakeObject(name, corners,
                      {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6},   // z low, z high
                       {0, 1, 5}, {0, 5, 4}, {2, 6, 7}, {2, 7, 3},   // y low, y high
                       {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}}); // x low, x high
}

SceneObject Torus(std::uint32_t rings, std::uint32_t segments)
{
    std::vector<Vec4> positions;
    std::vector<Triangle> triangles;
    const float turn = 6.2831853f;
    for (std::uint32_t i = 0; i < rings; ++i) {
        const float a = turn * static_cast<float>(i) / static_cast<float>(rings);
        for (std::uint32_t j = 0; j < segments; ++j) {
            const float b = turn * static_cast<float>(j) / static_cast<float>(segments);
            positions.push_back({(3.0f + std::cos(b)) * std::cos(a), std::sin(b), (3.0f + std::cos(b)) * std::sin(a), 1});
        }
    }
    for (std::uint32_t i = 0; i < rings; ++i) {
        for (std::uint32_t j = 0; j < segments; ++j) {
            const std::uint32_t next = (i + 1) % rings, up = (j + 1) % segments;
            const std::uint32_t a = i * segments + j, b = next * segments + j;
            const std::uint32_t c = next * segments + up, d = i * segments + up;
            triangles.push_back({a, d, c});
            triangles.push_back({a, c, b});
        }
    }
    return MakeObject("Torus", positions, triangles);
}

struct LogRecorder::Sink : log4cxx::AppenderSkeleton
{
    std::vector<std::string> messages;

    void close() override {}
    bool requiresLayout() const override { return false; }
    void append(const log4cxx::spi::LoggingEventPtr& event, log4cxx::helpers::Pool&) override
    {
        messages.push_back(event->getMessage());
    }
};

LogRecorder::LogRecorder() : sink(std::make_shared<Sink>())
{
    KorvanaFramework::rootLogger->addAppender(sink);
}

LogRecorder::~LogRecorder()
{
    KorvanaFramework::rootLogger->removeAppender(sink);
}

std::vector<std::string> LogRecorder::Messages() const
{
    return sink->messages;
}

std::string HolesError(const std::string& name)
{
    return "Model: '" + name + "' posiada dziury i nie nadaje się do utworzenia cieni objętościowych.";
}

std::string TJunctionError(const std::string& name)
{
    return "Model: '" + name + "' posiada połączenia typu T i nie nadaje się do utworzenia cieni objętościowych.";
}
}
