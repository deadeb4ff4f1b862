// The Win32 subset the library calls. On Windows the system's own headers
// serve instead.
#ifndef ORBWIN_WIN32_H_
#define ORBWIN_WIN32_H_

#include "win32_char.h"
#include "win32_crtfile.h"
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

#endif  // ORBWIN_WIN32_H_
