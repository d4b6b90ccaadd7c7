// One copy of the game at a time: a lock file named after the caption in the
// user's runtime directory, held while the media layer runs. The operating
// system lets go of it when the process ends, however it ends.
#pragma once

#include <string>

namespace media::core {

enum class InstanceCheck { kFirst, kSecond, kUnknown };

// Takes the lock for `caption`; kSecond when another process holds it,
// kUnknown when the lock file cannot be made (the check is then skipped).
InstanceCheck AcquireInstanceLock(const std::string& caption);
void ReleaseInstanceLock();

// Where the lock file for `caption` lives.
std::string InstanceLockPath(const std::string& caption);

}  // namespace media::core
