// What the library needs from its platform beyond Win32 and the Microsoft
// runtime: the runtime's unlocked byte macros under the names POSIX gives
// them, so that both builds read and write streams byte by byte alike.
#ifndef ORBWIN_ORBWIN_H_
#define ORBWIN_ORBWIN_H_

#include <stdio.h>

#if defined(_WIN32)
#define getc_unlocked _getc_nolock
#define putc_unlocked _putc_nolock
#endif

#endif  // ORBWIN_ORBWIN_H_
