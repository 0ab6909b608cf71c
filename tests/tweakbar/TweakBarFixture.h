// Each test starts the library afresh and stops it at the end.
#pragma once

#include "tweakbar/TweakBar.h"
#include "tweakbar/TweakBarTesting.h"

#include <gtest/gtest.h>

#include <string>

// Draws the bars `count` times, as that many frames of a program would.
inline void Frames(int count)
{
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(TwDraw(), 1);
}

class TweakBarTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(TwInit(TW_OPENGL, nullptr), 1);
        TwGetLastError();
    }

    void TearDown() override { TwTerminate(); }

    // The latest error as a string, empty when there is none.
    static std::string LastError()
    {
        const char* error = TwGetLastError();
        return error != nullptr ? error : "";
    }
};
