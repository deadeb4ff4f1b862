// Everything a tool needs from the library.
#ifndef ORBCMN_ORBCMN_H_
#define ORBCMN_ORBCMN_H_

#include "orbcmn/common.h"
#include "orbcmn/export.h"
#include "orbcmn/orbhost.h"
#include "orbcmn/plugin.h"
#include "orbcmn/util.h"
#include "orbcmn/utilpath.h"
#include "orbcmn/utilversion.h"
#include "orbcmn/zactiontable.h"
#include "orbcmn/zatombuffer.h"
#include "orbcmn/zatomtable.h"
#include "orbcmn/zbuffer.h"
#include "orbcmn/zenum.h"
#include "orbcmn/zfile.h"
#include "orbcmn/zfilefind.h"
#include "orbcmn/zlist.h"
#include "orbcmn/zmetaclass.h"
#include "orbcmn/zparser.h"
#include "orbcmn/zrbtree.h"
#include "orbcmn/zregexp.h"
#include "orbcmn/zstreamer.h"
#include "orbcmn/zstring.h"
#include "orbcmn/ztextfile.h"
#include "orbcmn/zvectorstring.h"

#endif  // ORBCMN_ORBCMN_H_
