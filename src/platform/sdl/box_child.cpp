// Processes forked for a message box die with the program. SDL shows its X11 box (and runs
// zenity) in a child process and waits for it; a signal that ends the program would otherwise
// leave that child and its box on screen, re-parented, until someone answered it.
#include "platform/sdl/state.h"

#include <pthread.h>
#include <unistd.h>

#if defined(__linux__)
#include <csignal>
#include <sys/prctl.h>
#endif

namespace {

bool armed = false;
pid_t program = 0;

// Runs in the child right after fork, where only async-signal-safe calls are allowed.
void in_child() {
#if defined(__linux__)
    if (!armed)
        return;
    // SIGKILL: the box's loop may not be in a state to act on anything gentler. The death signal
    // survives exec, so it holds for zenity too.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != program) // the program died before the line above
        _exit(1);
#endif
}

} // namespace

void sdl_layer::box_children_die_with_program(bool on) {
    static const bool registered = pthread_atfork(nullptr, nullptr, in_child) == 0;
    program = getpid();
    armed = on && registered;
}
