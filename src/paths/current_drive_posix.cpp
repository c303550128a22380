// The current drive where the system has no drive letters.
#include "paths/paths.h"

namespace pelc {

// A drive prefix in a name ("C:x") thus always names another drive and is taken as it stands.
int currentDrive() { return kNoCurrentDrive; }

}  // namespace pelc
