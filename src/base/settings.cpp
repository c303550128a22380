// The run settings.
#include "base/settings.h"

namespace pelc {

std::vector<std::string> includeSearchDirectories(const Settings& settings) {
  std::vector<std::string> directories;
  for (const std::string& option : settings.includeOptionList) {
    directories.push_back(option.substr(2));
  }
  return directories;
}

}  // namespace pelc
