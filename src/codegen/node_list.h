// The node list: the ordered contract between the parse and the emission.
#pragma once

#include <deque>
#include <span>
#include <tuple>
#include <vector>

#include "codegen/node_records.h"

namespace pelc {

struct Node {
  NodeKind kind;
  NodeRecord* record;
};

/// Owns every node and record of one file. Records live in per-type pools
/// (deques never move their elements), so the block stack and the end nodes
/// may keep pointers to head records until the list is released.
class NodeList {
 public:
  NodeList() = default;
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;

  /// Appends a node of the given kind with a fresh record, which the caller
  /// fills (also later, for head records whose labels arrive on demand).
  template <class Record>
  Record& appendNode(NodeKind kind) {
    Record& record = std::get<std::deque<Record>>(pools_).emplace_back();
    nodes_.push_back(Node{kind, &record});
    return record;
  }

  std::span<const Node> nodes() const { return nodes_; }
  bool empty() const { return nodes_.empty(); }

 private:
  std::vector<Node> nodes_;
  std::tuple<std::deque<SilentRecord>, std::deque<GotoRecord>, std::deque<StatementRecord>,
             std::deque<ExitRecord>, std::deque<DoRecord>, std::deque<DoEndRecord>,
             std::deque<ForRecord>, std::deque<ForEndRecord>, std::deque<IfRecord>,
             std::deque<ElseRecord>, std::deque<IfEndRecord>, std::deque<SwitchRecord>,
             std::deque<CaseRecord>, std::deque<DefaultRecord>, std::deque<SwitchBreakRecord>,
             std::deque<SwitchEndRecord>, std::deque<WhileRecord>, std::deque<WhileEndRecord>,
             std::deque<IncludeRecord>, std::deque<IncludeEndRecord>, std::deque<DirectiveRecord>,
             std::deque<BranchRecord>, std::deque<EndifRecord>>
      pools_;
};

}  // namespace pelc
