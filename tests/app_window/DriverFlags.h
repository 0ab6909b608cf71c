// Test programs that link this stand in for a driver without an extension:
// the program's own glewInit runs, then the extension's GLEW flag is
// cleared, before the program asks for it.
#pragma once

namespace AppTests
{
// While alive, every glewInit leaves the GLX multisample flag cleared, as
// on a driver without ARB_multisample.
class WithoutMultisample
{
public:
    WithoutMultisample();
    ~WithoutMultisample();
    WithoutMultisample(const WithoutMultisample&) = delete;
    WithoutMultisample& operator=(const WithoutMultisample&) = delete;
};
}
