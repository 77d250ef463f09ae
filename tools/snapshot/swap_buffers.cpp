// The only platform call the scene makes. A pbuffer has nothing to present, but like a real swap
// this waits for the frame: without a wait, queued frames pile up inside the GL implementation.
#include "platform/opengl.h"

BOOL WINAPI SwapBuffers(HDC) {
    glFinish();
    return TRUE;
}
