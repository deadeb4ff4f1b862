// Whole-file saves that never leave a torn file behind.
#ifndef ORBCMN_LIB_WHOLEFILE_H_
#define ORBCMN_LIB_WHOLEFILE_H_

#include <cstddef>

namespace orb {

// Makes the file `path` hold exactly the n bytes at data: they are written
// to a new file beside it, flushed and synced to the disk, and only then
// renamed over it. 1 on success; 0 when the new file cannot be made (no
// such directory, a path of MAX_PATH characters or more); -1 when writing,
// syncing or renaming it failed. On a failure the old file stays byte for
// byte as it was and the new one is removed.
int ReplaceWholeFile(const char* path, const void* data, std::size_t n);

}  // namespace orb

#endif  // ORBCMN_LIB_WHOLEFILE_H_
