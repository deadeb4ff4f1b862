// The platform seam: the Win32 API and the Microsoft runtime's own
// functions as the library calls them. On Windows they are the system's;
// elsewhere they are our stand-in (the win32_*.h headers beside this one),
// which keeps Win32's signatures and behaviour. orbwin.h gives the
// runtime's unlocked byte macros one name on both.
#ifndef ORBWIN_WIN32_H_
#define ORBWIN_WIN32_H_

#if defined(_WIN32)
#include <io.h>
#include <share.h>
#include <stdio.h>
#include <windows.h>
#else
#include "win32_char.h"
#include "win32_file.h"
#include "win32_find.h"
#include "win32_findfirst.h"
#include "win32_global.h"
#include "win32_hfile.h"
#include "win32_local.h"
#include "win32_module.h"
#include "win32_profile.h"
#include "win32_types.h"
#include "win32_user.h"
#include "win32_version.h"
#include "win32_window.h"
#endif

#include "orbwin.h"

#endif  // ORBWIN_WIN32_H_
