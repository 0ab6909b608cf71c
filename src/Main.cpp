#include "Korvana.h"

#include <clocale>
#include <string>

// Hands over to WinMain as Windows would: the module handle, no previous
// instance, the arguments after the program name as one command line.
int main(int argc, char** argv)
{
    // The program's narrow strings are UTF-8; with this character type the
    // logger writes Polish letters to the console as they are, whatever
    // locale the program was started in.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    return WinMain(GetModuleHandleA(nullptr), nullptr, &commandLine[0], SW_SHOWDEFAULT);
}
