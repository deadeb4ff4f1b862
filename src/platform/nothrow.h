// Win32 reports failure through results, never through exceptions. The
// stand-in keeps names, paths and records in standard containers, whose
// memory running out throws; an exported function that uses them runs its
// body through NoThrow, which gives the function's failure result instead.
#ifndef ORBWIN_NOTHROW_H_
#define ORBWIN_NOTHROW_H_

template <typename R, typename Body>
R NoThrow(R failed, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failed;
  }
}

#endif  // ORBWIN_NOTHROW_H_
