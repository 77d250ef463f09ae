// The start-up: what WinMain receives, its result as the exit code, the message box before any
// window, and the one line that a missing display gets.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a shell command with stderr to a file, collecting both outputs and the exit code.
Outcome run_command(const std::string &shell_command) {
    const std::string err_file = ::testing::TempDir() + "startup_probe.err";
    const std::string command = "{ " + shell_command + "; } 2>" + err_file;
    Outcome outcome;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return outcome;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr)
        outcome.out += buffer;
    const int status = pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(err_file);
    std::ostringstream text;
    text << err.rdbuf();
    outcome.err = text.str();
    return outcome;
}

Outcome run(const std::string &environment, const std::string &arguments) {
    return run_command(environment + " " + STARTUP_PROBE + " " + arguments);
}

TEST(Startup, WinMainGetsTheModuleTheCommandLineAndSwShowDefaultAndItsResultIsTheExitCode) {
    Outcome outcome = run("", "");
    EXPECT_EQ(outcome.out, "instance set, previous null, command line [], show 10\n");
    EXPECT_EQ(outcome.status, 7);
    outcome = run("", "one 'two words'");
    EXPECT_EQ(outcome.out,
              "instance set, previous null, command line [one \"two words\"], show 10\n");
}

TEST(Startup, MessageBoxWorksBeforeAnyWindowExists) {
    // Presses Return in the box once it is up. (SDL names it in a way xdotool cannot search.)
    const std::string answer =
        "for i in $(seq 200); do"
        " id=$(xwininfo -root -children | awk '/\"probe box\"/ {print $1}');"
        " if [ -n \"$id\" ]; then xdotool windowfocus --sync $id key Return; break; fi;"
        " sleep 0.05; done";
    const Outcome outcome = run("(" + answer + ") >/dev/null 2>&1 &", "box");
    EXPECT_EQ(outcome.out, "box answered 1\n");
    EXPECT_EQ(outcome.status, 0);
    // A box that cannot open also answers 1, with its content on stderr instead.
    EXPECT_EQ(outcome.err, "");
}

TEST(Startup, ASignalThatEndsTheProgramTakesItsBoxAlong) {
    // SDL's box is a child process with a window of its own; it must go when the program goes.
    const std::string script =
        "box() { xwininfo -root -children | grep -q '\"probe box\"'; };"
        " for signal in TERM KILL; do " STARTUP_PROBE " box >/dev/null & pid=$!;"
        " for i in $(seq 200); do box && break; sleep 0.05; done;"
        " box || { echo \"$signal: no box\"; kill $pid; continue; };"
        " kill -$signal $pid; wait $pid;"
        " for i in $(seq 40); do box || break; sleep 0.05; done;"
        " box && echo \"$signal: box left\" || echo \"$signal: box gone\"; done";
    EXPECT_EQ(run_command(script).out, "TERM: box gone\nKILL: box gone\n");
}

TEST(Startup, WithoutADisplayOneLineNamesItAndTheExitCodeIsOne) {
    const std::string probe_name = "sdl_startup_probe: ";
    for (const std::string driver : {"SDL_VIDEODRIVER=x11", "-u SDL_VIDEODRIVER"}) {
        const Outcome outcome = run("env " + driver + " WAYLAND_DISPLAY= DISPLAY=:4242", "");
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.rfind(probe_name + "cannot open display \":4242\": ", 0), 0u)
            << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }
    const Outcome unset = run("env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER", "");
    EXPECT_EQ(unset.status, 1);
    EXPECT_EQ(unset.err, probe_name + "cannot open display: DISPLAY is not set\n");
}

} // namespace
