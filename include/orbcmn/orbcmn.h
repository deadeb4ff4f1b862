// Everything a tool needs from the library.
#ifndef ORBCMN_ORBCMN_H_
#define ORBCMN_ORBCMN_H_

#include "orbcmn/common.h"
#include "orbcmn/export.h"
#include "orbcmn/orbhost.h"
#include "orbcmn/plugin.h"
#include "orbcmn/zbuffer.h"
#include "orbcmn/zstring.h"
#include "orbcmn/zlist.h"
#include "orbcmn/zrbtree.h"
#include "orbcmn/zatombuffer.h"
#include "orbcmn/zenum.h"
#include "orbcmn/zatomtable.h"
#include "orbcmn/util.h"
#include "orbcmn/utilpath.h"
#include "orbcmn/utilversion.h"
#include "orbcmn/zregexp.h"
#include "orbcmn/zparser.h"
#include "orbcmn/zvectorstring.h"
#include "orbcmn/zactiontable.h"
#include "orbcmn/zfile.h"
#include "orbcmn/zfilefind.h"
#include "orbcmn/ztextfile.h"
#include "orbcmn/zstreamer.h"
#include "orbcmn/zmetaclass.h"

#endif  // ORBCMN_ORBCMN_H_
