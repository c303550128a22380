// The node list: the ordered contract between the parse and the emission.
#pragma once

#include <algorithm>
#include <memory>
#include <span>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "codegen/node_records.h"

namespace pelc {

struct Node {
  NodeKind kind;
  NodeRecord* record;
};

/// Records of one type in chunks that never move, allocated a few thousand at
/// a time: large files carry millions of records. Cleared chunks are reused.
template <class Record>
class RecordPool {
 public:
  RecordPool() = default;
  RecordPool(RecordPool&& other) noexcept
      : chunks_(std::move(other.chunks_)),
        current_(std::exchange(other.current_, 0)),
        used_(std::exchange(other.used_, 0)) {
    other.chunks_.clear();
  }
  RecordPool& operator=(RecordPool&& other) noexcept {
    chunks_ = std::move(other.chunks_);
    other.chunks_.clear();
    current_ = std::exchange(other.current_, 0);
    used_ = std::exchange(other.used_, 0);
    return *this;
  }

  Record& emplace_back() {
    if (used_ == kChunk) {
      ++current_;
      used_ = 0;
    }
    if (current_ == chunks_.size()) chunks_.push_back(std::make_unique<Record[]>(kChunk));
    Record& record = chunks_[current_][used_++];
    record = Record{};
    return record;
  }

  void clear() {
    current_ = 0;
    used_ = 0;
  }

 private:
  static constexpr std::size_t kChunk = 16384 / sizeof(Record);
  std::vector<std::unique_ptr<Record[]>> chunks_;
  std::size_t current_ = 0;
  std::size_t used_ = 0;
};

/// Copies of line texts in chunks that never move; cleared chunks are reused.
class TextArena {
 public:
  TextArena() = default;
  TextArena(TextArena&& other) noexcept
      : chunks_(std::move(other.chunks_)),
        current_(std::exchange(other.current_, 0)),
        used_(std::exchange(other.used_, 0)) {
    other.chunks_.clear();
  }
  TextArena& operator=(TextArena&& other) noexcept {
    chunks_ = std::move(other.chunks_);
    other.chunks_.clear();
    current_ = std::exchange(other.current_, 0);
    used_ = std::exchange(other.used_, 0);
    return *this;
  }

  /// A copy of `text` that lives until the arena is cleared.
  std::string_view keep(std::string_view text) {
    if (chunks_.empty() || kChunk - used_ < text.size()) {
      if (!chunks_.empty()) ++current_;
      used_ = 0;
      if (current_ == chunks_.size()) {
        chunks_.push_back(std::make_unique<char[]>(std::max(kChunk, text.size())));
      }
    }
    char* const at = chunks_[current_].get() + used_;
    std::copy(text.begin(), text.end(), at);
    used_ += text.size();
    return {at, text.size()};
  }

  void clear() {
    current_ = 0;
    used_ = 0;
  }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  std::vector<std::unique_ptr<char[]>> chunks_;
  std::size_t current_ = 0;
  std::size_t used_ = 0;
};

/// Owns every node and record of one file. Records live in per-type pools
/// whose elements never move, so the block stack and the end nodes may keep
/// pointers to head records until the list is released.
class NodeList {
 public:
  NodeList() = default;
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;
  // Moving keeps the records where they are: a list can be handed to another
  // owner while pointers into it stay valid.
  NodeList(NodeList&&) noexcept = default;
  NodeList& operator=(NodeList&&) noexcept = default;

  /// Appends a node of the given kind with a fresh record, which the caller
  /// fills (also later, for head records whose labels arrive on demand).
  template <class Record>
  Record& appendNode(NodeKind kind) {
    Record& record = std::get<RecordPool<Record>>(pools_).emplace_back();
    nodes_.push_back(Node{kind, &record});
    return record;
  }

  /// A copy of `text` that lives as long as the records.
  std::string_view keepText(std::string_view text) { return texts_.keep(text); }

  std::span<const Node> nodes() const { return nodes_; }
  bool empty() const { return nodes_.empty(); }
  std::size_t size() const { return nodes_.size(); }

  /// Drops every node and record; their storage is kept for the next ones.
  void clear() {
    nodes_.clear();
    std::apply([](auto&... pool) { (pool.clear(), ...); }, pools_);
    texts_.clear();
  }

 private:
  std::vector<Node> nodes_;
  std::tuple<RecordPool<SilentRecord>, RecordPool<GotoRecord>, RecordPool<StatementRecord>,
             RecordPool<ExitRecord>, RecordPool<DoRecord>, RecordPool<DoEndRecord>,
             RecordPool<ForRecord>, RecordPool<ForEndRecord>, RecordPool<IfRecord>,
             RecordPool<ElseRecord>, RecordPool<IfEndRecord>, RecordPool<SwitchRecord>,
             RecordPool<CaseRecord>, RecordPool<DefaultRecord>, RecordPool<SwitchBreakRecord>,
             RecordPool<SwitchEndRecord>, RecordPool<WhileRecord>, RecordPool<WhileEndRecord>,
             RecordPool<IncludeRecord>, RecordPool<IncludeEndRecord>, RecordPool<DirectiveRecord>,
             RecordPool<BranchRecord>, RecordPool<EndifRecord>>
      pools_;
  TextArena texts_;
};

}  // namespace pelc
