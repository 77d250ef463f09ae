// The generators write by the snapshot tool's rules: through a symlink, and with the system's
// reason when they cannot.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TEST(Generators, WriteThroughASymlinkAndGiveTheReasonForAFailure) {
    const fs::path dir =
        fs::temp_directory_path() / ("helicoid-generators-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::create_symlink("real", dir / "link");
    const fs::path err = dir / "err.txt", missing = dir / "nodir/x";
    for (const std::string tool : {GEN_TABLES_EXE, GEN_ICON_EXE}) {
        ASSERT_EQ(std::system((tool + " " + (dir / "link").string()).c_str()), 0) << tool;
        EXPECT_TRUE(fs::is_symlink(dir / "link") && fs::is_regular_file(dir / "real")) << tool;

        EXPECT_NE(std::system((tool + " " + missing.string() + " 2>" + err.string()).c_str()), 0);
        std::stringstream said;
        said << std::ifstream(err).rdbuf();
        EXPECT_TRUE(said.str().ends_with(": cannot write " + missing.string() +
                                         ": No such file or directory\n"))
            << said.str();
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3); // no temporary file stays
    }
    fs::remove_all(dir);
}
