// Tests for the path text operations.
#include "paths/paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelc {
namespace {

struct TextCase {
  const char* input;
  const char* expected;
};

TEST(PathsTest, NormalizePath) {
  const std::vector<TextCase> cases = {
      {"C:\\dir\\", "C:/dir"}, {"C:\\", "C:/"},  {"\\", "/"},      {"a//", "a/"},
      {"a/", "a"},             {"C:a/", "C:a"},  {"x:\\a\\b", "x:/a/b"}, {"", ""},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.input);
    std::string path = c.input;
    normalizePath(path);
    EXPECT_EQ(c.expected, path);
  }
}

TEST(PathsTest, ReplaceExtension) {
  const std::string long253(253, 'n');
  const std::string long252(252, 'n');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"prog", "prog.pmp"},
      {"prog.src", "prog.pmp"},
      {"dir.x/prog", "dir.x/prog.pmp"},
      {"a.b.c", "a.b.pmp"},
      {"prog.", "prog.pmp"},
      {"C:prog.x", "C:prog.pmp"},
      {long253, long253},                    // would be 257 characters
      {long253 + ".src", long253},           // extension removed, new one does not fit
      {long252, long252 + ".pmp"},           // exactly at the limit
  };
  for (const auto& [input, expected] : cases) {
    SCOPED_TRACE(input);
    std::string path = input;
    replaceExtension(".pmp", path, 256);
    EXPECT_EQ(expected, path);
  }
}

TEST(PathsTest, DirectoryOf) {
  struct Case {
    const char* source;
    std::size_t size;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"prog.pmp", 256, ""},   {"C:prog.pmp", 256, "C:"}, {"C:/x", 256, "C:/"},
      {"/x", 256, "/"},        {"C:/a/b", 256, "C:/a"},   {"a/b", 256, "a"},
      {"//x", 256, "/"},       {"abc/def/ghi", 8, "abc"},  // cut to "abc/def" first
      {"C:/a/b", 3, "C:"},     {"abc/def", 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " size " + std::to_string(c.size));
    EXPECT_EQ(c.expected, directoryOf(c.source, c.size));
  }
}

TEST(PathsTest, StartsWithDotSegment) {
  for (const char* name : {"./x", "../x", ".", "..", "C:../x", "c:./"}) {
    EXPECT_TRUE(startsWithDotSegment(name)) << name;
  }
  for (const char* name : {".x/y", "..x", "/./x", "x/./y", "", "C:", "...", "C:/../x"}) {
    EXPECT_FALSE(startsWithDotSegment(name)) << name;
  }
}

TEST(PathsTest, JoinPath) {
  const std::string lib = "C:/proj/lib/a.pmp";
  const std::string bare = "a.pmp";
  struct Case {
    const char* label;
    const char* base;
    const std::string* current;
    const char* name;
    std::size_t size;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"relative on base", "C:/proj", nullptr, "sub/x.pmp", 2048, "C:/proj/sub/x.pmp"},
      {"absolute name", "C:/proj", nullptr, "/x.pmp", 2048, "/x.pmp"},
      {"other drive", "C:/proj", nullptr, "D:x.pmp", 2048, "D:x.pmp"},
      {"same drive, any case", "C:/proj", nullptr, "c:sub/x.pmp", 2048, "C:/proj/sub/x.pmp"},
      {"same drive, absolute", "C:/proj", nullptr, "c:/x/../y", 2048, "c:/y"},
      {"dot name uses current", "C:/proj", &lib, "../b.pmp", 2048, "C:/proj/b.pmp"},
      {"plain name uses base", "C:/proj", &lib, "b.pmp", 2048, "C:/proj/b.pmp"},
      {"dot name, current dir", "C:/proj", &lib, "./b.pmp", 2048, "C:/proj/lib/b.pmp"},
      {"above the root stays", "C:/proj", &lib, "../../../x", 2048, "C:/../x"},
      {"current without dir", "C:/proj", &bare, "./x", 2048, "./x"},
      {"dot name, no current", "C:/proj", nullptr, "./x", 2048, "C:/proj/x"},
      {"empty base", "", nullptr, "x.pmp", 2048, "x.pmp"},
      {"root base", "C:/", nullptr, "x", 2048, "C:/x"},
      {"bare drive base", "C:", nullptr, "x", 2048, "C:x"},
      {"undriven base, driven name", "proj", nullptr, "C:x", 2048, "C:x"},
      {"'@' is no current drive", "proj", nullptr, "@:x", 2048, "@:x"},
      {"cut name", "C:/proj", nullptr, "sub/x.pmp", 10, "C:/proj/s"},
      {"slash fills capacity", "C:/proj", nullptr, "sub/x.pmp", 9, "C:/proj/"},
      {"no room for slash", "C:/proj", nullptr, "sub/x.pmp", 8, "C:/proj"},
      {"cut base", "C:/project", nullptr, "x", 6, "C:/pr"},
      {"cut other drive", "C:/proj", nullptr, "D:/long/name", 6, "D:/lo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.expected, joinPath(c.base, c.current, c.name, c.size));
  }
}

TEST(PathsTest, CollapseDots) {
  const std::vector<TextCase> cases = {
      {"/a/b/./c/../d", "/a/b/d"}, {"/../x", "/../x"},     {"C:/a/..", "C:/"},
      {"a/b/../c", "a/c"},         {"/a/../b", "/b"},       {"a/../b", "b"},
      {"a/../../c", "../c"},       {"a/b/../../../c", "../c"}, {"a/..", ""},
      {"C:a/..", "C:"},            {"/a/..", "/"},          {"a/b/..", "a"},
      {"a/.", "a"},                {"/.", "/."},            {"x/./", "x/"},
      {"./x", "./x"},              {"../x", "../x"},        {"C:../x", "C:../x"},
      {"a/./../b", "b"},           {"a/..x/../b", "a/b"},   {"a/.../b", "a/.../b"},
      {"a//../x", "a/x"},          {"./.", "."},            {"/a/../../b", "/../b"},
      // Dot segments never cancel dot segments.
      {"../../a", "../../a"},      {"./../x", "./../x"},    {"../..", "../.."},
      {"./..", "./.."},            {"/../../x", "/../../x"}, {"../a/../..", "../.."},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.input);
    std::string path = c.input;
    collapseDots(path);
    EXPECT_EQ(c.expected, path);
  }
}

}  // namespace
}  // namespace pelc
