// The framebuffer-object calls the shadow maps' depth passes render with.
#pragma once

#include <GL/glew.h>

namespace KorvanaFramework
{
// The calls of OpenGL 3.0 or ARB_framebuffer_object, else those of
// EXT_framebuffer_object; all null where the driver has neither.
struct FramebufferCalls
{
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    bool Available() const { return genFramebuffers != nullptr; }
};

FramebufferCalls Framebuffers();
}
