// What builds learn from a run: outputs kept under -u, and dependency files.
#include "driver/dependencies.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"

namespace pelc {
namespace {

int runOn(MemoryFileSystem& fs, const std::vector<std::string>& args) {
  std::ostringstream out;
  return runPelc(args, out, fs);
}

std::string workingDirectory() { return std::filesystem::current_path().string(); }

TEST(DependenciesTest, MakeReadsEveryPathAsOneWord) {
  const std::string here = workingDirectory();
  const std::vector<DependencyRule> rules = {
      {"a b/$x#.pml", {"a b/$x#.pmp", "./inc/../defs.pmp"}},
      {"next.pml", {"next.pmp", "defs.pmp", "more.pmp"}},
  };
  const std::string escaped = here + "/a\\ b/$$x\\#";
  EXPECT_EQ(dependencyFileText(rules),
            escaped + ".pml: " + escaped + ".pmp " + here + "/defs.pmp\n" +  //
                here + "/next.pml: " + here + "/next.pmp " + here + "/defs.pmp " + here +
                "/more.pmp\n" +  //
                "\n" + here + "/defs.pmp:\n" + "\n" + here + "/more.pmp:\n");
}

// An output is kept only when it is newer than its source and every include;
// an include whose status cannot be read forces the compile like a newer one.
TEST(DependenciesTest, UpdateOnlyKeepsWhatIsNewerThanEverythingItReads) {
  struct Case {
    const char* name;
    std::int64_t source, include, output;  // 0: the status cannot be read
    bool kept;
  };
  const Case cases[] = {
      {"up to date", 1, 2, 3, true},
      {"source newer", 4, 2, 3, false},
      {"include newer", 1, 4, 3, false},
      {"include as old as the output", 1, 3, 3, false},
      {"include not examinable", 1, 0, 3, false},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    fs.addFile("main.pmp", "#INCLUDE defs.pmp\nx = 1\n");
    fs.addFile("./defs.pmp", "y = 2\n");
    fs.addFile("main.pml", "kept");
    fs.setModificationTime("main.pmp", c.source);
    if (c.include != 0) fs.setModificationTime("./defs.pmp", c.include);
    fs.setModificationTime("main.pml", c.output);
    EXPECT_EQ(runOn(fs, {"-u", "main"}), 0) << c.name;
    EXPECT_EQ(fs.files().at("main.pml") == "kept", c.kept) << c.name;
  }
}

TEST(DependenciesTest, ADependencyFileListsEveryOutputOfASuccessfulRun) {
  MemoryFileSystem fs;
  fs.addFile("main.pmp", "#INCLUDE defs.pmp\nCHAIN next\n");
  fs.addFile("./defs.pmp", "");
  fs.addFile("next.pmp", "#INCLUDE defs.pmp\n");
  ASSERT_EQ(runOn(fs, {"--depfile=run.d", "--output=out.pml", "main"}), 0);
  const std::string here = workingDirectory() + "/";
  EXPECT_EQ(fs.files().at("run.d"), here + "out.pml: " + here + "main.pmp " + here + "defs.pmp\n" +
                                        here + "next.pml: " + here + "next.pmp " + here +
                                        "defs.pmp\n\n" + here + "defs.pmp:\n");
  EXPECT_TRUE(fs.files().contains("out.pml") && !fs.files().contains("main.pml"));

  fs.addFile("next.pmp", "IF (\n");
  EXPECT_EQ(runOn(fs, {"--depfile=run.d", "main"}), 1);
  EXPECT_NE(fs.files().at("run.d").find("out.pml"), std::string::npos)
      << "a failed run leaves the last good dependency file";
}

}  // namespace
}  // namespace pelc
