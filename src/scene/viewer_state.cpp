// The process-wide viewer state.
#include "scene/viewer_state.h"

constinit ViewerState viewer;
