// The bytes of one source file, read once and kept unchanged while it is compiled.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace pelc {

/// Releases a mapping of `size` bytes; only the file facility makes them.
struct Unmapper {
  std::size_t size = 0;
  void operator()(const char* data) const;
};

/// Either a copy held in memory or a read-only mapping of the file itself: a
/// large source is mapped, so it costs neither a copy nor fresh memory.
class SourceBytes {
 public:
  using Mapping = std::unique_ptr<const char, Unmapper>;

  SourceBytes() = default;
  explicit SourceBytes(std::string held) : held_(std::move(held)) {}
  explicit SourceBytes(Mapping mapped) : mapped_(std::move(mapped)) {}

  std::string_view view() const {
    return mapped_ ? std::string_view(mapped_.get(), mapped_.get_deleter().size)
                   : std::string_view(held_);
  }
  // The readers take the bytes as a view wherever a source is attached.
  operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
  std::size_t size() const { return view().size(); }

 private:
  std::string held_;
  Mapping mapped_;
};

}  // namespace pelc
