// Frame requests: the loop draws a frame whenever it finds the queue empty and idle_redraw is
// installed; nothing draws from inside a message handler.
#pragma once

void request_redraw();
void idle_redraw();
