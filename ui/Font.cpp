#include "Font.h"

#include <cstdio>
#include <fstream>

namespace KorvanaUi
{
const char* const defaultFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

namespace
{
// Basic Latin, Latin-1 and Latin Extended-A: every Polish letter. ImGui keeps
// a pointer to the ranges until the atlas is built, hence static storage.
const ImWchar latinRanges[] = {0x0020, 0x017F, 0};
}

bool LoadDefaultFont(ImGuiIO& io, float pixelSize)
{
    return LoadFont(io, defaultFontPath, pixelSize);
}

// ImGui asserts on a font file it cannot read, so the file is checked first.
bool LoadFont(ImGuiIO& io, const char* path, float pixelSize)
{
    if (std::ifstream(path, std::ios::binary).good() &&
        io.Fonts->AddFontFromFileTTF(path, pixelSize, nullptr, latinRanges) != nullptr)
        return true;

    std::fprintf(stderr,
                 "Korvana: font %s not found (package fonts-dejavu-core); "
                 "using the built-in font, which lacks Polish letters\n",
                 path);
    ImFontConfig config;
    config.SizePixels = pixelSize;
    io.Fonts->AddFontDefault(&config);
    return false;
}
}
