// Storage of the node list: kept line texts outlive later keeps, and the list
// moves between threads without its records or texts moving.
#include "ir/node_list.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace pelc {
namespace {

TEST(NodeListTest, KeptTextsStayWhereTheyAre) {
  NodeList list;
  std::vector<std::string> texts;
  std::vector<std::string_view> kept;
  // Lengths that leave chunks partly filled, and a few that fill one alone.
  for (int i = 0; i < 400; ++i) {
    const std::size_t length = i % 50 == 49 ? 2049 : static_cast<std::size_t>(i * 37 % 700);
    texts.push_back(std::string(length, static_cast<char>('a' + i % 26)));
    kept.push_back(list.keepText(texts.back()));
  }
  NodeList moved = std::move(list);
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(kept[i], texts[i]) << i;
  // After a clear the storage serves again.
  moved.clear();
  const std::string_view again = moved.keepText("x = 1\n");
  EXPECT_EQ(again, "x = 1\n");
  EXPECT_EQ(moved.keepText(""), "");
  // No line comes near a chunk's size; a text that would not fit one is refused.
  EXPECT_THROW(moved.keepText(std::string(std::size_t{1} << 17, 'z')), std::length_error);
}

TEST(NodeListTest, StatementTextsTravelWithTheList) {
  NodeList list;
  StatementRecord& record = list.appendNode<StatementRecord>(NodeKind::Statement);
  record.text = list.keepText("v = 0x41\n");
  NodeList moved = std::move(list);
  ASSERT_EQ(moved.size(), 1u);
  const auto& kept = *static_cast<const StatementRecord*>(moved.nodes()[0].record);
  EXPECT_EQ(kept.text, "v = 0x41\n");
}

}  // namespace
}  // namespace pelc
