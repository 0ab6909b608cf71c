// The program's entry point in its Windows form; main hands over to it.
#pragma once

#include "platform/Win32Api.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
