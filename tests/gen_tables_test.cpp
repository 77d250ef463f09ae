// helicoid-gen-tables writes by the snapshot tool's rules: through a symlink, and with the
// system's reason when it cannot.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TEST(GenTables, WritesThroughASymlinkAndGivesTheReasonForAFailure) {
    const fs::path dir =
        fs::temp_directory_path() / ("helicoid-gen-tables-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::create_symlink("real.cpp", dir / "link.cpp");
    const std::string tool = GEN_TABLES_EXE;
    ASSERT_EQ(std::system((tool + " " + (dir / "link.cpp").string()).c_str()), 0);
    EXPECT_TRUE(fs::is_symlink(dir / "link.cpp"));
    EXPECT_TRUE(fs::is_regular_file(dir / "real.cpp"));

    const fs::path err = dir / "err.txt";
    EXPECT_NE(
        std::system((tool + " " + (dir / "nodir/x.cpp").string() + " 2>" + err.string()).c_str()),
        0);
    std::stringstream said;
    said << std::ifstream(err).rdbuf();
    EXPECT_EQ(said.str(), "gen_mesh_tables: cannot write " + (dir / "nodir/x.cpp").string() +
                              ": No such file or directory\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3); // no temporary file stays
    fs::remove_all(dir);
}
