// Every checked example of the user documents is compiled, and its output must be what the
// document shows; the bundled example program must match the sources of its golden cases.
#include "docs/doc_examples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "docs/doc_files.h"
#include "driver/run.h"
#include "source/file_system.h"

namespace pelc::docs {
namespace {

std::string withoutCarriageReturns(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

bool isSource(const std::string& name) { return name.ends_with(".pmp"); }

/// Runs the example on an in-memory tree holding its sources; an included file is looked up
/// under "./name" when the queued file has no directory, so every source is entered both ways.
void checkExample(const DocExample& example, const std::string& where) {
  ASSERT_TRUE(example.problem.empty()) << where << ": " << example.problem;
  MemoryFileSystem fs;
  for (const auto& [name, text] : example.blocks) {
    if (!isSource(name)) continue;
    fs.addFile(name, text);
    fs.addFile("./" + name, text);
  }
  std::ostringstream out;
  const int status = runPelc(example.args, out, fs);
  if (example.status) {
    EXPECT_EQ(status, *example.status) << where;
  }
  for (const auto& [name, expected] : example.blocks) {
    if (name == "stdout") {
      EXPECT_EQ(out.str(), expected) << where;
    } else if (!isSource(name)) {
      const auto written = fs.files().find(name);
      ASSERT_NE(written, fs.files().end()) << where << ": " << name << " was not written\n"
                                           << out.str();
      EXPECT_EQ(withoutCarriageReturns(written->second), expected) << where << ": " << name;
    }
  }
}

TEST(DocExamplesTest, EveryCheckedExampleCompilesAsShown) {
  struct Document {
    const char* path;
    std::size_t atLeast;  // guards against a marker format that silently matches nothing
  };
  const Document documents[] = {{"docs/language.md", 30}, {"docs/messages.md", 15}};
  for (const Document& document : documents) {
    const std::string text = readText(repositoryRoot() / document.path);
    ASSERT_FALSE(text.empty()) << document.path;
    const std::vector<DocExample> examples = findExamples(text);
    EXPECT_GE(examples.size(), document.atLeast) << document.path;
    for (const DocExample& example : examples) {
      checkExample(example, std::string(document.path) + ":" + std::to_string(example.line));
    }
  }
}

TEST(DocExamplesTest, MarkerReadingFindsBothBlockForms) {
  const std::string markdown =
      "<!-- example args=\"-X prog\" files=\"prog.pmp prog.pml\" status=\"0\" -->\n"
      "<table><tr><td><pre>\n"
      "IF (a &lt; b)\n"
      "</pre></td><td><pre>\n"
      "x &amp;&amp; y\n"
      "<span></span>\n"
      "z\n"
      "</pre></td></tr></table>\n"
      "<!-- example args=\"prog\" files=\"prog.pmp stdout\" -->\n"
      "```pmp\n"
      "BREAK\n"
      "```\n"
      "text between\n"
      "```text\n"
      "line\n"
      "```\n"
      "<!-- example args=\"prog\" files=\"prog.pmp stdout\" -->\n"
      "```pmp\n"
      "x\n"
      "```\n";
  const std::vector<DocExample> examples = findExamples(markdown);
  ASSERT_EQ(examples.size(), 3u);
  EXPECT_EQ(examples[0].args, (std::vector<std::string>{"-X", "prog"}));
  EXPECT_EQ(examples[0].status, 0);
  ASSERT_EQ(examples[0].blocks.size(), 2u);
  EXPECT_EQ(examples[0].blocks[0].second, "IF (a < b)\n");
  EXPECT_EQ(examples[0].blocks[1].second, "x && y\n\nz\n");
  ASSERT_EQ(examples[1].blocks.size(), 2u);
  EXPECT_EQ(examples[1].blocks[1], (std::pair<std::string, std::string>{"stdout", "line\n"}));
  EXPECT_FALSE(examples[1].status.has_value());
  EXPECT_EQ(examples[2].problem, "no block for stdout");
}

TEST(DocExamplesTest, GoldenCasesCompileTheBundledExampleAsItStands) {
  const std::filesystem::path root = repositoryRoot();
  std::vector<std::filesystem::path> sources;
  for (const auto& entry : std::filesystem::directory_iterator(root / "examples")) {
    if (entry.path().extension() == ".pmp") sources.push_back(entry.path());
  }
  ASSERT_FALSE(sources.empty());
  int cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(root / "tests/golden")) {
    if (!entry.path().filename().string().starts_with("example-")) continue;
    ++cases;
    const std::filesystem::path copies = entry.path() / "input/examples";
    for (const auto& source : sources) {
      EXPECT_EQ(readText(copies / source.filename()), readText(source))
          << entry.path().filename() << " holds a stale copy of " << source.filename();
    }
  }
  EXPECT_GT(cases, 0);
}

}  // namespace
}  // namespace pelc::docs
