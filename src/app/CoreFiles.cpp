// SPDX-License-Identifier: MIT
#include "app/CoreFiles.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace ombrel {

void keepMemoryPrivate() {
  const rlimit none{0, 0};
  ::setrlimit(RLIMIT_CORE, &none);
#ifndef OMBREL_SANITIZE
  // Sanitizer builds stay dumpable: the leak checker stops the program by
  // attaching to it, which a process that is not dumpable refuses.
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
}

}  // namespace ombrel
