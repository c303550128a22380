// The emission thread.
#include "driver/emission_thread.h"

#include <utility>

#include "driver/helper_thread.h"

namespace pelc {

void emitHandedOver(Emitter& emitter, std::span<const Node> nodes, std::int32_t settled,
                    int switchDepth) {
  // Asked before and after: the nodes may hold the first line marker, which
  // the head repeats.
  emitter.expectSwitchDepth(switchDepth);
  emitter.emitSettled(nodes, settled);
  emitter.expectSwitchDepth(switchDepth);
}

EmissionThread::EmissionThread(Emitter& emitter) : emitter_(emitter) {
  thread_ = startHelperThread([this] { run(); });
}

EmissionThread::~EmissionThread() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void EmissionThread::hand(NodeList& nodes, std::int32_t settled, int switchDepth) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return pending_.size() < kMaxPending || failure_; });
  raiseFailure();
  pending_.push_back(Batch{std::move(nodes), settled, switchDepth});
  if (spare_.empty()) {
    nodes = NodeList();
  } else {
    nodes = std::move(spare_.back());
    spare_.pop_back();
  }
  lock.unlock();
  changed_.notify_all();
}

void EmissionThread::drain() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return (pending_.empty() && !emitting_) || failure_; });
  raiseFailure();
}

void EmissionThread::raiseFailure() {
  if (failure_) std::rethrow_exception(failure_);
}

void EmissionThread::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !pending_.empty() || stopping_; });
    if (stopping_) return;
    Batch batch = std::move(pending_.front());
    pending_.pop_front();
    emitting_ = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      emitHandedOver(emitter_, batch.nodes.nodes(), batch.settled, batch.switchDepth);
    } catch (...) {
      failure = std::current_exception();
    }
    batch.nodes.clear();
    lock.lock();
    emitting_ = false;
    spare_.push_back(std::move(batch.nodes));
    changed_.notify_all();
    if (failure) {
      failure_ = failure;
      return;
    }
  }
}

}  // namespace pelc
