// Test programs that link this stand in for a driver without an extension:
// the program's own glewInit runs, then the extension's GLEW flag is
// cleared, before the program asks for it.
#pragma once

namespace AppTests
{
// The GLX extensions behind the WGL pixel-format and multisample ones.
enum class DriverExtensions {
    Multisample,               // GLX_ARB_multisample
    PixelFormatAndMultisample  // GLX 1.3 as well
};

// While alive, every glewInit leaves the flags of `hidden` cleared, as on a
// driver without those extensions.
class WithoutExtensions
{
public:
    explicit WithoutExtensions(DriverExtensions hidden);
    ~WithoutExtensions();
    WithoutExtensions(const WithoutExtensions&) = delete;
    WithoutExtensions& operator=(const WithoutExtensions&) = delete;
};
}
