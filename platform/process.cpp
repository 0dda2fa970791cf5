#include "platform/process.h"

#include <sys/resource.h>

#include <cerrno>

int PlatformGetPriority() {
    errno = 0;
    int nice = getpriority(PRIO_PROCESS, 0);
    return errno == 0 ? nice : 0;
}

void PlatformSetPriority(int nice) {
    // Failure (no privilege to raise) leaves the priority as it was.
    (void)setpriority(PRIO_PROCESS, 0, nice);
}
