// Where a file is written, by the rules a user of cp expects:
// - A new file, or a regular file to replace, is first written to an exclusively created
//   temporary file in the target's folder and then renamed over it, so nothing that was there is
//   touched until the new file is whole, and nothing half-written stays behind on a failure or on
//   any signal whose default action ends the process.
// - A new file gets the mode the umask leaves; a replaced file keeps its mode, owner and group.
// - A file its user may not write is refused (root may, as with cp).
// - Where the rename cannot keep the file as it was (a folder the user may not write, another
//   user's file, a group the user is not in), the file is truncated and written in place, which
//   cannot be atomic: a failure part-way leaves it incomplete.
// - A symlink is followed to its final target; a device, FIFO or socket is written in place,
//   never replaced; "-" is standard output.
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

// Bit n: the parent left descriptor n closed, and /dev/null now holds its number.
unsigned closed_streams = 0;

// Whether NAME, or a link on the way from it, names a standard stream the parent left closed:
// the write would go into the /dev/null that holds its number, and report success.
bool names_closed_stream(const std::string &name) {
    static const char *const by_name[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
    fs::path path = name;
    for (int hops = 0; hops < 40; ++hops) {
        for (int fd = 0; fd <= 2; ++fd) {
            const std::string number = std::to_string(fd);
            if ((closed_streams & (1u << fd)) != 0 &&
                (path == by_name[fd] || path == "/dev/fd/" + number ||
                 path == "/proc/self/fd/" + number))
                return true;
        }
        std::error_code code;
        const fs::path target = fs::read_symlink(path, code);
        if (code)
            return false;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return false;
}

// What the signal handler removes: a fixed buffer, since a handler may not allocate.
char pending_temporary[4096];
volatile std::sig_atomic_t temporary_pending = 0;
sigset_t cleanup_signals; // those whose handler removes the temporary file

extern "C" void remove_temporary_and_die(int signal) {
    if (temporary_pending != 0)
        unlink(pending_temporary);
    std::signal(signal, SIG_DFL);
    std::raise(signal); // blocked while the handler runs: delivered, with its default, on return
}

// Every signal whose default action ends the process, apart from those the parent made us
// ignore: a nohup'd SIGHUP or an ignored SIGXFSZ keeps meaning what the parent meant.
void install_cleanup_handlers() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    sigemptyset(&cleanup_signals);
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current;
        const bool harmless = signal == SIGKILL || signal == SIGSTOP || signal == SIGCHLD ||
                              signal == SIGCONT || signal == SIGURG || signal == SIGWINCH ||
                              signal == SIGTSTP || signal == SIGTTIN || signal == SIGTTOU;
        // sigaction refuses the numbers the C library keeps for itself.
        if (!harmless && sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            sigaddset(&cleanup_signals, signal);
    }
    struct sigaction cleanup = {};
    cleanup.sa_handler = remove_temporary_and_die;
    cleanup.sa_mask = cleanup_signals;
    for (int signal = 1; signal < NSIG; ++signal)
        if (sigismember(&cleanup_signals, signal) == 1)
            sigaction(signal, &cleanup, nullptr);
}

bool fail(int code, std::string *error) {
    *error = std::strerror(code);
    return false;
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
    return fail(ELOOP, error);
}

bool open_in_place(const std::string &path, int flags, OutputFile *out, std::string *error) {
    out->fd = open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | flags);
    return out->fd >= 0 || fail(errno, error);
}

// Returns 0, or the errno of the failure.
int create_temporary(const fs::path &target, OutputFile *out) {
    // A short fixed name fits whatever the target's length; mkstemp creates it exclusively.
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string temporary = (directory / ".helicoid-XXXXXX").string();
    if (temporary.size() >= sizeof pending_temporary)
        return ENAMETOOLONG;
    install_cleanup_handlers();
    // A signal between mkstemp and the flag would leave the file behind: it waits until both.
    sigset_t before;
    sigprocmask(SIG_BLOCK, &cleanup_signals, &before);
    std::memcpy(pending_temporary, temporary.c_str(), temporary.size() + 1);
    out->fd = mkstemp(pending_temporary);
    const int made = out->fd < 0 ? errno : 0;
    temporary_pending = made == 0 ? 1 : 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    if (made == 0)
        out->temporary = pending_temporary;
    return made;
}

} // namespace

void keep_standard_streams_open() {
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
            if (open("/dev/null", O_RDONLY) != fd)
                return;
            closed_streams |= 1u << fd;
        }
}

bool open_output(const std::string &name, OutputFile *out, std::string *error) {
    keep_standard_streams_open();
    *out = OutputFile{};
    if (name == "-") {
        out->fd = STDOUT_FILENO;
        out->standard_output = true;
        return true;
    }
    if (names_closed_stream(name))
        return fail(EBADF, error);
    struct stat info;
    // The kernel resolves first: /dev/stdout on a pipe links to a name no path spells out.
    if (stat(name.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        out->target = name;
        return open_in_place(name, 0, out, error); // no O_CREAT, no O_TRUNC: never replaced
    }
    fs::path target = name;
    if (!resolve_links(&target, error))
        return false;
    out->target = target.string();
    const bool exists = stat(out->target.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode))
        return fail(EISDIR, error);
    if (exists && faccessat(AT_FDCWD, out->target.c_str(), W_OK, AT_EACCESS) != 0)
        return fail(errno, error);
    const int made = create_temporary(target, out);
    if (made != 0)
        return exists && (made == EACCES || made == EPERM)
                   ? open_in_place(out->target, O_TRUNC, out, error)
                   : fail(made, error);
    if (!exists) {
        // mkstemp makes it private; a new file is as readable as any the user creates.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(out->fd, 0666 & ~mask);
    } else if (fchown(out->fd, info.st_uid, info.st_gid) != 0 ||
               fchmod(out->fd, info.st_mode & 07777) != 0) {
        // chown first: it clears set-user-ID bits.
        const std::string kept = out->target;
        abandon_output(out);
        out->target = kept;
        return open_in_place(kept, O_TRUNC, out, error);
    }
    return true;
}

int write_output(const OutputFile &out, const void *data, std::size_t size) {
    const char *bytes = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t written = write(out.fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

bool commit_output(OutputFile *out, std::string *error) {
    if (out->standard_output) {
        *out = OutputFile{};
        return true;
    }
    const int fd = out->fd;
    out->fd = -1;
    int code = close(fd) != 0 ? errno : 0;
    if (code == 0 && !out->temporary.empty() &&
        std::rename(out->temporary.c_str(), out->target.c_str()) != 0)
        code = errno;
    if (code != 0) {
        abandon_output(out);
        return fail(code, error);
    }
    temporary_pending = 0;
    *out = OutputFile{};
    return true;
}

void abandon_output(OutputFile *out) {
    if (out->fd >= 0 && !out->standard_output)
        close(out->fd);
    if (!out->temporary.empty()) {
        unlink(out->temporary.c_str());
        temporary_pending = 0;
    }
    *out = OutputFile{};
}

bool write_output_file(const std::string &name, const std::string &text, std::string *error) {
    OutputFile out;
    std::string reason;
    bool written = open_output(name, &out, &reason);
    if (written) {
        const int code = write_output(out, text.data(), text.size());
        if (code != 0) {
            abandon_output(&out);
            reason = std::strerror(code);
        }
        written = code == 0 && commit_output(&out, &reason);
    }
    if (!written)
        *error = "cannot write " + name + ": " + reason;
    return written;
}
