// The order in which the class records are built when the library loads.
// Each record is put at the head of the registry chain, so the chain runs
// in the reverse order. The records live in several source files; their
// static constructors run in this order because each is given the priority
// below (GCC init_priority: lower runs first, all before the library's
// other static objects). ORBCMN_DEFINE_PERSISTENT(X) and the buffer records
// pick the priority ORBCMN_RECORD_ORDER_X; a class missing here does not
// compile.
#ifndef ORBCMN_PERSIST_RECORD_ORDER_H_
#define ORBCMN_PERSIST_RECORD_ORDER_H_

#define ORBCMN_RECORD_ORDER_ZActionTable 1001
#define ORBCMN_RECORD_ORDER_ZActionDescription 1002
#define ORBCMN_RECORD_ORDER_ZActionCode 1003
#define ORBCMN_RECORD_ORDER_ZActionFragment 1004
#define ORBCMN_RECORD_ORDER_ZActionArgument 1005
#define ORBCMN_RECORD_ORDER_ZActionCondition 1006
#define ORBCMN_RECORD_ORDER_ZBuffer 1007
#define ORBCMN_RECORD_ORDER_ZString 1008
#define ORBCMN_RECORD_ORDER_ZEnumItem 1009
#define ORBCMN_RECORD_ORDER_ZEnum 1010
#define ORBCMN_RECORD_ORDER_ZMulti 1011
#define ORBCMN_RECORD_ORDER_ZAtom 1012
#define ORBCMN_RECORD_ORDER_ZProtocol 1013
#define ORBCMN_RECORD_ORDER_ZClass 1014
#define ORBCMN_RECORD_ORDER_ZAtomTable 1015

// Attribute placing a record's construction at its rank.
#define ORBCMN_RECORD_PRIORITY(X) __attribute__((init_priority(ORBCMN_RECORD_ORDER_##X)))

#endif  // ORBCMN_PERSIST_RECORD_ORDER_H_
