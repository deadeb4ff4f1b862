// What the library needs from its platform beyond Win32, with one meaning
// on both: binary file streams and removal with Windows paths, and the
// runtime's unlocked byte macros.
#ifndef ORBWIN_ORBWIN_H_
#define ORBWIN_ORBWIN_H_

#include <stdio.h>

#if defined(_WIN32)
// The runtime takes Windows paths as they are.
inline FILE* OrbWin_fopen(const char* path, const char* mode) { return fopen(path, mode); }
inline int OrbWin_remove(const char* path) { return remove(path); }
#define getc_unlocked _getc_nolock
#define putc_unlocked _putc_nolock
#endif

#endif  // ORBWIN_ORBWIN_H_
