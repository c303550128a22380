// The node list: the ordered contract between the parse and the emission.
#pragma once

#include <algorithm>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "ir/node_records.h"

namespace pelc {

struct Node {
  NodeKind kind;
  NodeRecord* record;
};

/// Elements in chunks of kChunk that never move, handed out in runs of
/// consecutive ones; cleared chunks are reused. A moved-from store is empty.
template <class T, std::size_t kChunk>
class ChunkStore {
 public:
  ChunkStore() = default;
  ChunkStore(ChunkStore&& other) noexcept { *this = std::move(other); }
  ChunkStore& operator=(ChunkStore&& other) noexcept {
    chunks_ = std::exchange(other.chunks_, {});
    current_ = std::exchange(other.current_, 0);
    used_ = std::exchange(other.used_, 0);
    return *this;
  }

  /// `count` consecutive elements (at most kChunk), as their last use left them.
  T* take(std::size_t count) {
    if (chunks_.empty() || kChunk - used_ < count) {
      if (!chunks_.empty()) ++current_;
      used_ = 0;
      if (current_ == chunks_.size()) chunks_.push_back(std::make_unique<T[]>(kChunk));
    }
    T* const at = chunks_[current_].get() + used_;
    used_ += count;
    return at;
  }

  void clear() {
    current_ = 0;
    used_ = 0;
  }

 private:
  std::vector<std::unique_ptr<T[]>> chunks_;
  std::size_t current_ = 0;
  std::size_t used_ = 0;
};

/// Records of one type, allocated a few thousand at a time: large files carry
/// millions of records.
template <class Record>
class RecordPool {
 public:
  Record& emplace_back() {
    Record& record = *records_.take(1);
    record = Record{};
    return record;
  }
  void clear() { records_.clear(); }

 private:
  ChunkStore<Record, std::max<std::size_t>(1, 16384 / sizeof(Record))> records_;
};

/// Copies of line texts. A logical line, even an ARRAY line joined with its
/// `{` line, is far shorter than a chunk.
class TextArena {
 public:
  /// A copy of `text` that lives until the arena is cleared.
  std::string_view keep(std::string_view text) {
    if (text.size() > kChunk) throw std::length_error("line text longer than a chunk");
    char* const at = chars_.take(text.size());
    std::copy(text.begin(), text.end(), at);
    return {at, text.size()};
  }
  void clear() { chars_.clear(); }

 private:
  static constexpr std::size_t kChunk = 1 << 16;
  ChunkStore<char, kChunk> chars_;
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
