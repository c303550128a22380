// Names of the generated SWITCH temporaries, derived from the path of the compiled file.
#include "parser/temporary_names.h"

namespace pelc {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_";
constexpr std::uint32_t kLetters = 52;
constexpr int kDrawnCharacters = 7;

/// The pseudo-random generator of the platform runtime that earlier compilers drew the names
/// from; existing output files keep their names only with exactly this sequence.
class RuntimeRandom {
 public:
  explicit RuntimeRandom(std::uint32_t seed) : state_(seed) {}

  std::uint32_t draw() {
    state_ = state_ * 214013u + 2531011u;
    return (state_ >> 16) & 0x7FFFu;
  }

 private:
  std::uint32_t state_;
};

}  // namespace

std::int32_t temporarySeed(std::string_view seedText) {
  // Unsigned arithmetic wraps without undefined behaviour; the result is the same bits.
  std::uint32_t seed = 0;
  for (char c : seedText) {
    seed = seed * 55u + static_cast<std::uint32_t>(static_cast<signed char>(c));
  }
  return static_cast<std::int32_t>(seed);
}

std::string temporaryName(std::string_view seedText, int n) {
  RuntimeRandom random(static_cast<std::uint32_t>(temporarySeed(seedText)));
  std::string name;
  name += kAlphabet[random.draw() % kLetters];
  for (int i = 1; i < kDrawnCharacters; ++i) name += kAlphabet[random.draw() % kAlphabet.size()];
  if (n >= 1 && static_cast<std::size_t>(n) <= kAlphabet.size()) {
    name += kAlphabet[n - 1];
  } else {
    name += std::to_string(n);
  }
  return name;
}

}  // namespace pelc
