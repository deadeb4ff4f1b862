// Shared by the stand-in's allocators: whether the test's failure handler
// (OrbWin_SetAllocFailHandler) refuses the request being made.
#ifndef ORBWIN_REFUSAL_H_
#define ORBWIN_REFUSAL_H_

bool OrbWin_AllocRefused();

#endif  // ORBWIN_REFUSAL_H_
