// The bytes of one source file, read once and kept unchanged while it is compiled.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace pelc {

/// Frees a source buffer: `mapped` bytes of pages of its own (only the file
/// facility makes those), or an array from new[] where `mapped` is 0.
struct BufferRelease {
  std::size_t mapped = 0;
  void operator()(char* data) const;
};

/// A copy of the file in memory that the compile owns. The file itself is
/// never mapped: another program may shrink it meanwhile (an editor saving in
/// place), and the compile then works on the bytes it read instead of dying
/// on a page that went away.
class SourceBytes {
 public:
  using Buffer = std::unique_ptr<char, BufferRelease>;

  SourceBytes() = default;
  /// Takes the first `size` bytes of a buffer filled by the file facility.
  SourceBytes(Buffer data, std::size_t size) : data_(std::move(data)), size_(size) {}
  explicit SourceBytes(std::string_view bytes) : data_(new char[bytes.size()]), size_(bytes.size()) {
    if (size_ != 0) std::memcpy(data_.get(), bytes.data(), size_);
  }

  std::string_view view() const { return {data_.get(), size_}; }
  // The readers take the bytes as a view wherever a source is attached.
  operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
  std::size_t size() const { return size_; }

 private:
  Buffer data_;
  std::size_t size_ = 0;
};

}  // namespace pelc
