// The only platform call the scene makes. A pbuffer has nothing to present: the frame stays in
// the buffer for the read-back.
#include "platform/win32.h"

BOOL WINAPI SwapBuffers(HDC) {
    return TRUE;
}
