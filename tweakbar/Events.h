// Window messages for the bars: which ones a bar takes, and how they reach
// ImGui. Messages are queued and handed over by the next frame, a button's
// press and release in separate frames, so that a quick click still clicks.
#pragma once

#include "Model.h"

#include <imgui.h>

namespace TweakBar
{
// Queues the message for the next frame and answers 1 when a bar takes it.
int HandleMessage(Library& library, UINT message, WPARAM wParam, LPARAM lParam);

// Hands the queued messages to ImGui, stopping before a mouse button or key
// that has already changed in this frame changes again.
void FeedInput(Library& library, ImGuiIO& io);

// Notes after a frame where its pop-ups and help bar lie and whether a
// field takes the keys.
void RecordFrame(Library& library);
}
