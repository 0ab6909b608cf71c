// The one font of the program's user interface: DejaVu Sans with the Latin
// letters up to U+017F, so that Polish texts show whole.
#pragma once

#include <imgui.h>

namespace KorvanaUi
{
// Where the DejaVu Sans of Debian's fonts-dejavu-core package lies.
extern const char* const defaultFontPath;

// Adds DejaVu Sans at pixelSize to io.Fonts. Without the file it adds
// ImGui's built-in font instead, says so on standard error and returns false.
bool LoadDefaultFont(ImGuiIO& io, float pixelSize);

// As LoadDefaultFont, for the TrueType file at path.
bool LoadFont(ImGuiIO& io, const char* path, float pixelSize);
}
