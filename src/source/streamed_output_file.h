// An output written as it goes, for targets that cannot be replaced or seeked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "source/file_system.h"

namespace pelc {

/// A device, a pipe, a terminal or a console gets the bytes written into it,
/// as any program writing to it would: replacing it would put a plain file in
/// its place. What goes behind room left for a head is held until the head is
/// known, since such a target cannot be written out of order.
class StreamedOutputFile : public OutputFile {
 public:
  void write(std::string_view bytes) final {
    if (held_) {
      bytes_.append(bytes);
    } else {
      put(bytes);
    }
  }
  void reserveFront(std::size_t size) final {
    held_ = true;
    bytes_.assign(size, '\0');
    front_ = size;
  }
  void fillFront(std::string_view bytes) final { bytes_.replace(0, front_, bytes); }
  void copyTo(OutputFile& out) final { out.write(std::string_view(bytes_).substr(front_)); }
  void commit() final {
    put(bytes_);
    bytes_.clear();
    close();
  }

 protected:
  /// Writes every byte to the target; throws FileError on failure.
  virtual void put(std::string_view bytes) = 0;
  /// Closes the target; throws FileError on failure.
  virtual void close() = 0;

 private:
  std::string bytes_;
  std::size_t front_ = 0;
  bool held_ = false;
};

}  // namespace pelc
