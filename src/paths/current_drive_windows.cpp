// The process's current drive on Windows.
#include <direct.h>

#include "paths/paths.h"

namespace pelc {

// _getdrive() counts from 1 for A; 0 when the current directory is a network share.
int currentDrive() {
  const int drive = _getdrive();
  return drive == 0 ? kNoCurrentDrive : drive - 1;
}

}  // namespace pelc
