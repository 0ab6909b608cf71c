#include "Korvana.h"

#include <string>

// Hands over to WinMain as Windows would: the module handle, no previous
// instance, the arguments after the program name as one command line.
int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWDEFAULT);
}
