// The demo's bars: one row of every kind the library offers, bound to the
// values below.
#pragma once

struct DemoValues {
    bool enabled = true;
    int count = 7;
    float factor = 0.35f;
    float offset = -10.0f;
    int mode = 2;
    int lightType = 2;
    float background[3] = {0.18f, 0.22f, 0.30f};
    float tint[4] = {0.9f, 0.6f, 0.2f, 0.5f};
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float position[4] = {2.0f, 5.0f, 2.17f, 1.0f};
    float spot[2] = {45.0f, 12.0f};
    float secret = 1.0f;
    int frames = 0;
    int resets = 0;
};

// Makes the bars "kinds" and "docked" and the global help.
bool BuildDemoBars(DemoValues& values);
