// Where a picture is written. A regular file (or a path to be created) gets an exclusively
// created temporary file in its own directory, renamed over it once complete, so nothing that
// was there is touched until the picture is whole and nothing half-written is left behind, not
// even on SIGINT or SIGTERM. A symlink is followed to its target; a device or FIFO is written
// in place, never replaced; "-" is standard output.
#include "output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// What the signal handler removes: a fixed buffer, since a handler may not allocate.
char pending_temporary[4096];
volatile std::sig_atomic_t temporary_pending = 0;

extern "C" void remove_temporary_and_die(int signal) {
    if (temporary_pending != 0)
        unlink(pending_temporary);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::string reason(int error) {
    return std::strerror(error);
}

// Follows symlinks to the path they finally name (which may not exist yet).
bool resolve_links(fs::path *path, std::string *error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(path->c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::error_code code;
        const fs::path target = fs::read_symlink(*path, code);
        if (code) {
            *error = code.message();
            return false;
        }
        *path = target.is_absolute() ? target : path->parent_path() / target;
    }
    *error = reason(ELOOP);
    return false;
}

} // namespace

bool open_output(const std::string &name, OutputFile *out, std::string *error) {
    *out = OutputFile{};
    if (name == "-") {
        out->fd = STDOUT_FILENO;
        return true;
    }
    fs::path target = name;
    if (!resolve_links(&target, error))
        return false;
    out->target = target.string();
    struct stat info;
    if (stat(out->target.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        // A device or FIFO: written where it is. No O_TRUNC, no O_CREAT: it is never replaced.
        out->fd = open(out->target.c_str(), O_WRONLY | O_CLOEXEC);
        if (out->fd < 0) {
            *error = reason(errno);
            return false;
        }
        return true;
    }
    // A short fixed name fits whatever the target's length; mkstemp creates it exclusively.
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string temporary = (directory / ".helicoid-snapshot-XXXXXX").string();
    if (temporary.size() >= sizeof pending_temporary) {
        *error = reason(ENAMETOOLONG);
        return false;
    }
    std::memcpy(pending_temporary, temporary.c_str(), temporary.size() + 1);
    std::signal(SIGINT, remove_temporary_and_die);
    std::signal(SIGTERM, remove_temporary_and_die);
    // A signal between mkstemp and the flag would leave the file behind: it waits until both.
    sigset_t interrupts;
    sigset_t before;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    sigprocmask(SIG_BLOCK, &interrupts, &before);
    out->fd = mkstemp(pending_temporary);
    const int made = errno;
    temporary_pending = out->fd >= 0 ? 1 : 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    if (out->fd < 0) {
        *error = reason(made);
        return false;
    }
    out->temporary = pending_temporary;
    // mkstemp makes it private; a picture is as readable as any file the user creates.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(out->fd, 0666 & ~mask);
    return true;
}

bool commit_output(OutputFile *out, std::string *error) {
    const int fd = out->fd;
    out->fd = -1;
    if (fd == STDOUT_FILENO)
        return true;
    if (close(fd) != 0) {
        *error = reason(errno);
        abandon_output(out);
        return false;
    }
    if (!out->temporary.empty() && std::rename(out->temporary.c_str(), out->target.c_str()) != 0) {
        *error = reason(errno);
        abandon_output(out);
        return false;
    }
    temporary_pending = 0;
    out->temporary.clear();
    return true;
}

void abandon_output(OutputFile *out) {
    if (out->fd >= 0 && out->fd != STDOUT_FILENO)
        close(out->fd);
    out->fd = -1;
    if (!out->temporary.empty()) {
        unlink(out->temporary.c_str());
        temporary_pending = 0;
        out->temporary.clear();
    }
}
