// A second thread that emits the nodes of finished constructs while the parse
// goes on.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "codegen/emitter.h"
#include "ir/node_list.h"

namespace pelc {

/// Emits the nodes of one hand-over: `settled` and `switchDepth` as for
/// EmissionThread::hand.
void emitHandedOver(Emitter& emitter, std::span<const Node> nodes, std::int32_t settled,
                    int switchDepth);

/// Emits handed-over node lists in the order they arrive. Parsing and
/// emitting cost about the same, so on two cores a large file takes little
/// more than its parse. A failure of the emitter (a thrown message, a file
/// error) stops the thread and is raised again on the parse's side at the
/// next hand-over or at drain().
class EmissionThread {
 public:
  explicit EmissionThread(Emitter& emitter);
  /// Stops the thread; nodes not yet emitted are dropped.
  ~EmissionThread();
  EmissionThread(const EmissionThread&) = delete;
  EmissionThread& operator=(const EmissionThread&) = delete;

  /// Takes the nodes and leaves `nodes` empty; the source before `settled`
  /// is copied through after them. `switchDepth` is the deepest SWITCH
  /// nesting parsed so far. Waits while kMaxPending lists are already
  /// queued, so memory stays bounded when the parse runs ahead.
  void hand(NodeList& nodes, std::int32_t settled, int switchDepth);
  /// Waits until every handed-over node is emitted.
  void drain();

 private:
  static constexpr std::size_t kMaxPending = 4;

  void run();
  void raiseFailure();

  Emitter& emitter_;
  std::mutex mutex_;
  std::condition_variable changed_;
  struct Batch {
    NodeList nodes;
    std::int32_t settled = 0;
    int switchDepth = 0;
  };

  std::deque<Batch> pending_;
  // Emitted lists, kept for their storage.
  std::vector<NodeList> spare_;
  bool emitting_ = false;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::thread thread_;
};

}  // namespace pelc
