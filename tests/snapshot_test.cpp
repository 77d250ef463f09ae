// helicoid-snapshot as a user runs it: the PNG it writes, and how it refuses bad input.
#include "gl_fixture.h"
#include "offscreen_gl.h"
#include "options.h"
#include "png_file.h"
#include "render.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using Args = std::vector<std::string>;

struct SnapshotRun {
    int exit_code = -1;
    std::string out, err;
};

fs::path scratch(const std::string &name);

std::string read_text(const fs::path &file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

SnapshotRun run_snapshot(const Args &args, const std::string &shell_prefix = "") {
    const fs::path out_file = scratch("stdout.txt"), err_file = scratch("stderr.txt");
    std::string command = shell_prefix + SNAPSHOT_EXE;
    for (const std::string &arg : args)
        command += " '" + arg + "'";
    command += " >" + out_file.string() + " 2>" + err_file.string();
    const int status = std::system(command.c_str());
    SnapshotRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = read_text(out_file);
    run.err = read_text(err_file);
    fs::remove(out_file);
    fs::remove(err_file);
    return run;
}

// CTest runs these tests as parallel processes: each gets its own scratch directory, removed
// when the process ends.
const fs::path &scratch_dir() {
    static const struct Dir {
        fs::path path =
            fs::temp_directory_path() / ("helicoid-snapshot-test-" + std::to_string(getpid()));
        ~Dir() { fs::remove_all(path); }
    } dir;
    return dir.path;
}

fs::path scratch(const std::string &name) {
    fs::create_directories(scratch_dir());
    return scratch_dir() / name;
}

// Temporary files the tool left behind in the scratch directory.
int leftovers() {
    int count = 0;
    for (const auto &entry : fs::directory_iterator(scratch_dir()))
        count += entry.path().filename().string().rfind(".helicoid-", 0) == 0;
    return count;
}

Picture render_in_process(const Args &args) {
    std::string error;
    const auto options = parse_snapshot_options(args, &error);
    EXPECT_TRUE(options) << error;
    if (!options)
        return {};
    EXPECT_TRUE(create_offscreen_gl(options->width, options->height, options->depth_bits, &error))
        << error;
    std::string log;
    Picture picture = render_snapshot(*options, &log);
    destroy_offscreen_gl();
    return picture;
}

} // namespace

TEST(Snapshot, WritesTheSizeAskedForWithTheSamePixelsAsTheFrameInProcess) {
    const fs::path png = scratch("shot.png");
    for (Args args :
         {Args{"--size", "200x150", "--window", "614x614"}, Args{"--fog", "--wireframe"},
          Args{"--trackball", "press 300 300; move 330 310; release 340 310; frames 3"}}) {
        args.insert(args.begin(), {"--output", png.string()});
        fs::remove(png);
        const SnapshotRun run = run_snapshot(args);
        ASSERT_EQ(run.exit_code, 0) << run.err;

        Picture written;
        std::string error;
        ASSERT_TRUE(read_png(png.string(), &written, &error)) << error;
        const Picture expected = render_in_process(args);
        EXPECT_EQ(written.width, expected.width) << args[2];
        EXPECT_EQ(written.height, expected.height) << args[2];
        EXPECT_TRUE(written.rgb == expected.rgb) << args[2];
    }
    ASSERT_EQ(run_snapshot({"--output", png.string(), "--size", "200x150"}).exit_code, 0);
    Picture small;
    std::string error;
    ASSERT_TRUE(read_png(png.string(), &small, &error)) << error;
    EXPECT_EQ(small.width, 200);
    EXPECT_EQ(small.height, 150);
}

TEST(Snapshot, ADragLeavesTheModelTurnedAndAClickLeavesItStill) {
    const Picture still = render_in_process({"--output", "x.png"});
    const Picture turned = render_in_process(
        {"--output", "x.png", "--trackball", "press 300 300; move 330 300; release 331 300"});
    const Picture clicked = render_in_process(
        {"--output", "x.png", "--trackball", "press 300 300; release 300 300; frames 5"});
    EXPECT_FALSE(still.rgb == turned.rgb);
    // After a click the start-up increment was applied once, by the frame after the press.
    EXPECT_FALSE(still.rgb == clicked.rgb);
    const Picture clicked_later = render_in_process(
        {"--output", "x.png", "--trackball", "press 300 300; release 300 300; frames 50"});
    EXPECT_TRUE(clicked.rgb == clicked_later.rgb);
}

TEST(Snapshot, RefusesBadInputWithOneLineAndExitCodeTwoAndNoFile) {
    const fs::path png = scratch("refused.png");
    const std::string out = png.string();
    for (const Args &args :
         {Args{"--output", out, "--bogus"}, Args{"--output", out, "--size", "0x614"},
          Args{"--output", out, "--size", "614"}, Args{"--output", out, "--size", "-5x5"},
          Args{"--output", out, "--size", "12xab"}, Args{"--output", out, "--window", "614x0"},
          Args{"--output", out, "--depth-bits", "12"}, Args{"--output", out, "--spin", "-1"},
          Args{"--output", out, "--increment", "2,0.3,0.2"},
          Args{"--output", out, "--trackball", "jump 1 2"}, Args{"--output", out, "--size"},
          Args{"--output", out, "--size", " 10x 10"}, Args{"--output", out, "--size", "+10x+10"},
          Args{"--output", out, "--increment", "nan,1,1,1"},
          Args{"--output", out, "--increment", "2,inf,1,1"},
          Args{"--output", out, "--spin", "0", "--trackball", "frames 1"}, Args{"--fog"},
          Args{"--output", "--fog"}}) {
        fs::remove(png);
        const SnapshotRun run = run_snapshot(args);
        const std::string said = args.back();
        EXPECT_EQ(run.exit_code, 2) << said;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << said << run.err;
        EXPECT_EQ(run.err.rfind("helicoid-snapshot: ", 0), 0u) << run.err;
        EXPECT_FALSE(fs::exists(png)) << said;
    }
    EXPECT_EQ(leftovers(), 0);
    for (const std::string junk : {"0.4-", "1e", "0.3.5"}) // a number with something after it
        EXPECT_EQ(run_snapshot({"--output", out, "--increment", "2,1,1," + junk}).exit_code, 2);
    // The limit is named, and a system failure is exit 1 with the system's reason.
    EXPECT_NE(run_snapshot({"--output", out, "--size", "20000x10"}).err.find("16384"),
              std::string::npos);
    const SnapshotRun failed = run_snapshot({"--output", "/nonexistent-dir/shot.png"});
    EXPECT_EQ(failed.exit_code, 1);
    EXPECT_NE(failed.err.find("No such file or directory"), std::string::npos);
}

// The usage --help prints is the one the README's Tools section shows.
TEST(Snapshot, HelpIsTheReadmesUsageAndVersionTheProjects) {
    const SnapshotRun help = run_snapshot({"--output", "x.png", "--help"});
    EXPECT_EQ(help.exit_code, 0);
    const std::string readme = read_text(README_FILE);
    const size_t tools = readme.find("\n## Tools\n");
    EXPECT_NE(readme.substr(tools, readme.find("\n## ", tools + 1) - tools)
                  .find("```\n" + help.out + "```\n"),
              std::string::npos)
        << help.out;
    EXPECT_EQ(run_snapshot({"--version"}).out, "helicoid-snapshot " PROJECT_VERSION "\n");
}

TEST(Snapshot, IncrementIsTheViewersUnlessGivenAndEveryComponentCounts) {
    const Picture plain = render_in_process({"--output", "x.png", "--spin", "20"});
    const Picture same =
        render_in_process({"--output", "x.png", "--spin", "20", "--increment", "2,0.3,0.2,0.4"});
    const Picture swapped =
        render_in_process({"--output", "x.png", "--spin", "20", "--increment", "2,0.2,0.3,0.4"});
    EXPECT_TRUE(plain.rgb == same.rgb);
    EXPECT_FALSE(plain.rgb == swapped.rgb);
}

// What is at the output name is followed (a symlink), written in place (a FIFO) or replaced only
// when whole (a file); nothing else is touched, and no temporary file stays.
TEST(Snapshot, WritingNeverClobbersWhatItShouldNot) {
    const fs::path real = scratch("real.png"), link = scratch("link.png");
    fs::create_symlink(real.filename(), link);
    // The old temporary name, planted as a trap.
    const fs::path victim = scratch("victim");
    std::ofstream(victim) << "keep";
    fs::create_symlink(victim, link.string() + ".partial");
    ASSERT_EQ(run_snapshot({"--output", link.string(), "--size", "20x10"}).exit_code, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    Picture picture;
    std::string error;
    EXPECT_TRUE(read_png(real.string(), &picture, &error)) << error;
    EXPECT_EQ(fs::file_size(victim), 4u);
    // A chain whose links live in different folders: each is read from its own.
    fs::create_directories(scratch("B"));
    fs::create_symlink("B/two", scratch("one"));
    fs::create_symlink("pic.png", scratch("B/two"));
    EXPECT_EQ(run_snapshot({"--output", scratch("one").string(), "--size", "20x10"}).exit_code, 0);
    EXPECT_TRUE(read_png(scratch("B/pic.png"), &picture, &error)) << error;

    const fs::path fifo = scratch("fifo.png"), from_fifo = scratch("from-fifo.png");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string tool = std::string(SNAPSHOT_EXE) + " --size 20x10 --output ";
    ASSERT_EQ(std::system((tool + fifo.string() + " >/dev/null & cat " + fifo.string() + " >" +
                           from_fifo.string() + "; wait")
                              .c_str()),
              0);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(read_png(from_fifo.string(), &picture, &error)) << error;

    const fs::path from_stdout = scratch("stdout.png");
    ASSERT_EQ(std::system((tool + "- >" + from_stdout.string() + " 2>/dev/null").c_str()), 0);
    EXPECT_TRUE(read_png(from_stdout.string(), &picture, &error)) << error;
    const auto png_size = fs::file_size(from_stdout);
    // Standard output by name into a pipe, the picture alone; and closed (as cron may leave it):
    // "-" and /dev/stdout fail, and a file is still written.
    for (const std::string how :
         {"/dev/stdout 2>&- | cat >", "/proc/self/fd/1 2>&- | cat >", ">&- "}) {
        fs::remove(from_stdout);
        std::system((tool + how + from_stdout.string()).c_str());
        EXPECT_TRUE(read_png(from_stdout.string(), &picture, &error) &&
                    fs::file_size(from_stdout) == png_size)
            << how;
    }
    EXPECT_NE(std::system((tool + "- >&- 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((tool + "/dev/stdout >&- 2>/dev/null").c_str()), 0);

    // The longest name a directory takes still leaves room for the temporary name.
    const fs::path longest = scratch(std::string(251, 'n') + ".png");
    EXPECT_EQ(run_snapshot({"--output", longest.string(), "--size", "20x10"}).exit_code, 0);
    EXPECT_TRUE(fs::exists(longest));

    // A directory in the way is refused.
    const fs::path directory = scratch("directory.png");
    fs::create_directories(directory / "inside");
    const SnapshotRun refused = run_snapshot({"--output", directory.string(), "--size", "20x10"});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find(": "), std::string::npos) << refused.err;
    EXPECT_TRUE(fs::is_directory(directory / "inside"));
    // A write that fails once the temporary file is there (the size limit, its signal ignored):
    // the old file stays, and the tool alone says why.
    const SnapshotRun limited = run_snapshot({"--output", victim}, "trap '' XFSZ; ulimit -f 1; ");
    EXPECT_EQ(limited.exit_code, 1);
    EXPECT_EQ(limited.err,
              "helicoid-snapshot: cannot write " + victim.string() + ": File too large\n");
    EXPECT_EQ(fs::file_size(victim), 4u);
    EXPECT_EQ(leftovers(), 0);
}

TEST(Snapshot, AnInterruptedWriteLeavesNothing) {
    const fs::path png = scratch("interrupted.png");
    for (int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE,
                       SIGXFSZ, SIGVTALRM, SIGPROF, SIGRTMIN}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            const rlimit no_core{0, 0};
            setrlimit(RLIMIT_CORE, &no_core);
            execl(SNAPSHOT_EXE, SNAPSHOT_EXE, "--size", "4000x4000", "--output", png.c_str(),
                  static_cast<char *>(nullptr));
            _exit(127);
        }
        // The signal comes while the PNG is being written, once its temporary file is there.
        int status = 0;
        while (leftovers() == 0 && waitpid(child, &status, WNOHANG) == 0)
            usleep(1000);
        kill(child, signal);
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        EXPECT_EQ(leftovers(), 0) << signal;
        EXPECT_FALSE(fs::exists(png)) << signal;
    }
}

TEST(Snapshot, OutOfMemoryIsOneLineAndAFailure) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer's shadow memory alone exceeds the address space limit";
#endif
    const fs::path err = scratch("oom.txt");
    const int status = std::system(("ulimit -v 1000000; " + std::string(SNAPSHOT_EXE) +
                                    " --size 12000x12000 --output " + scratch("big.png").string() +
                                    " >/dev/null 2>" + err.string())
                                       .c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::ifstream in(err);
    std::string line, extra;
    std::getline(in, line);
    EXPECT_EQ(line, "helicoid-snapshot: out of memory");
    EXPECT_FALSE(std::getline(in, extra));
}

// As with cp: a new file's mode comes from the umask and a replaced file keeps its own; a file its
// user may not write is refused; one whose folder or owner forbids a rename is written in place.
// Root may write anything, so as root the last three run as nobody.
TEST(Snapshot, ModesAndWriteProtectionAreKept) {
    const fs::path fresh = scratch("new.png"), mine = scratch("mine"), locked = mine / "locked";
    ASSERT_EQ(run_snapshot({"--output", fresh.string()}, "umask 027; ").exit_code, 0);
    ASSERT_EQ(run_snapshot({"--output", fresh.string()}, "umask 0; ").exit_code, 0);
    EXPECT_EQ(static_cast<int>(fs::status(fresh).permissions()), 0640);
    const std::string as_user =
        geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
    const std::string reach =
        "test -x " + std::string(SNAPSHOT_EXE) + " -a -x " + scratch_dir().string();
    if (std::system((as_user + reach).c_str()) != 0)
        GTEST_SKIP() << "the tool or the scratch folder is out of reach of " << as_user;
    // All the tool's user's but shared.png: the test's own, writable by all.
    const std::string setup =
        " && mkdir locked && for f in read-only.png locked/pic.png shared.png; do echo "
        "old >$f; done && chmod 444 read-only.png && chmod 666 shared.png && { "
        "[ $(id -u) != 0 ] || chown nobody: . read-only.png locked locked/*; } "
        "&& chmod 555 locked";
    ASSERT_EQ(std::system(("mkdir " + mine.string() + " && cd " + mine.string() + setup).c_str()),
              0);
    const std::string read_only = (mine / "read-only.png").string();
    EXPECT_EQ(run_snapshot({"--output", read_only}, as_user).err,
              "helicoid-snapshot: cannot write " + read_only + ": Permission denied\n");
    for (const fs::path &path : {locked / "pic.png", mine / "shared.png"})
        EXPECT_EQ(run_snapshot({"--output", path.string()}, as_user).exit_code, 0) << path;
    struct stat shared;
    EXPECT_TRUE(stat((mine / "shared.png").c_str(), &shared) == 0 && shared.st_uid == geteuid());
    chmod(locked.c_str(), 0755);
}
