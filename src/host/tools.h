// The client's tools the library calls, by number. Each file names the
// selectors it uses beside its calls.
#ifndef ORBCMN_HOST_TOOLS_H_
#define ORBCMN_HOST_TOOLS_H_

namespace orb {

enum Tool : int {
  kToolPrepare = 0,       // before a form call, and before a message box
  kToolPoll = 1,          // the value OrbHost_WaitForWndNotSame waits on
  kToolButton = 3,        // reading a button's state
  kToolMessage = 4,       // outgoing messages
  kToolUpload = 7,        // before an upload
  kToolFileChoice = 8,    // choosing a file
  kToolTreeService = 13,  // whether the object tree can be reached
  kToolTree = 24,         // the object tree and the selection
  kToolModal = 35,        // around a message box
};

}  // namespace orb

#endif  // ORBCMN_HOST_TOOLS_H_
