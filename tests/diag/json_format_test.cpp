// --diagnostics=json: every line is one valid JSON object, whatever bytes the file names and
// the source hold.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "source/file_system.h"

namespace pelc {
namespace {

/// Each printed line parsed; a line that is no JSON object fails the test.
std::vector<nlohmann::json> jsonLines(const std::string& printed) {
  std::vector<nlohmann::json> objects;
  std::istringstream in(printed);
  for (std::string line; std::getline(in, line);) {
    nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
    EXPECT_TRUE(object.is_object()) << line;
    objects.push_back(std::move(object));
  }
  return objects;
}

TEST(JsonFormatTest, NamesWithAnyBytesGiveValidJson) {
  struct Case {
    const char* label;
    std::string stem;      // the input as named on the command line, without ".pmp"
    std::string expected;  // the "file" field as a JSON parser reads it
  };
  const Case cases[] = {
      {"quote", "say\"hi", "say\"hi.pmp"},
      {"apostrophe and blank", "it's here", "it's here.pmp"},
      {"control bytes", "a\x01\x1f\tb", "a\x01\x1f\tb.pmp"},
      {"line feed", "two\nlines", "two\nlines.pmp"},
      {"UTF-8 kept", "caf\xc3\xa9", "caf\xc3\xa9.pmp"},
      {"invalid UTF-8 replaced", "bad\xff\xfe", "bad\xef\xbf\xbd\xef\xbf\xbd.pmp"},
      {"cut UTF-8 sequence replaced", "cut\xc3", "cut\xef\xbf\xbd.pmp"},
  };
  for (const Case& c : cases) {
    MemoryFileSystem fs;
    // An include of a missing file names the file as written, a second place for the bytes.
    fs.addFile(c.stem + ".pmp", "#INCLUDE " + c.stem + "\xff.inc\nBREAK\n");
    std::ostringstream out;
    const std::vector<std::string> args{"--diagnostics=json", c.stem};
    EXPECT_EQ(runPelc(args, out, fs), 1) << c.label;
    const std::vector<nlohmann::json> objects = jsonLines(out.str());
    ASSERT_EQ(objects.size(), 2u) << c.label << "\n" << out.str();
    EXPECT_EQ(objects[0]["kind"], "file") << c.label;
    EXPECT_EQ(objects[0]["file"], c.expected) << c.label;
    EXPECT_EQ(objects[1]["file"], c.expected) << c.label;
    EXPECT_EQ(objects[1]["number"], 211) << c.label;
    EXPECT_EQ(objects[1]["stops"], true) << c.label;
  }
}

TEST(JsonFormatTest, FileErrorsAndWarningsAreObjectsToo) {
  MemoryFileSystem fs;
  fs.addFile("main.pmp", "#pragma once\nCHAIN \"gone\\x\n");
  std::ostringstream out;
  const std::vector<std::string> args{"--diagnostics=json", "main", "extra\"arg"};
  EXPECT_EQ(runPelc(args, out, fs), 1);
  const std::vector<nlohmann::json> objects = jsonLines(out.str());
  ASSERT_EQ(objects.size(), 5u) << out.str();
  EXPECT_EQ(objects[0]["option"], "-Wignored-argument");
  EXPECT_EQ(objects[0]["inserts"]["argument"], "extra\"arg");
  EXPECT_EQ(objects[2]["option"], "-Wunknown-directive");
  EXPECT_EQ(objects[2]["line"], 1);
  EXPECT_EQ(objects[3]["file"], "\"gone/x.pmp");
  EXPECT_EQ(objects[4]["kind"], "file-error");
  EXPECT_EQ(objects[4]["file"], "\"gone/x.pmp");
}

}  // namespace
}  // namespace pelc
