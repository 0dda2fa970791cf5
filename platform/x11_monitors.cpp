#include "platform/x11_monitors.h"

#include <X11/Xresource.h>
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/x11_window.h"

namespace {

int RandrMonitors(Display* dpy, MonitorRect* out, int capacity) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(dpy, &eventBase, &errorBase) || !XRRQueryVersion(dpy, &major, &minor) ||
        (major == 1 && minor < 5) || major < 1) {
        return 0;
    }
    int count = 0;
    X11BeginTrap();
    XRRMonitorInfo* monitors = XRRGetMonitors(dpy, DefaultRootWindow(dpy), True, &count);
    const int failed = X11EndTrap();
    if (monitors == nullptr) {
        return 0;
    }
    int n = 0;
    for (int i = 0; !failed && i < count && n < capacity; ++i) {
        out[n++] = MonitorRect{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
    }
    XRRFreeMonitors(monitors);
    return n;
}

int XineramaMonitors(Display* dpy, MonitorRect* out, int capacity) {
    int eventBase = 0, errorBase = 0;
    if (!XineramaQueryExtension(dpy, &eventBase, &errorBase) || !XineramaIsActive(dpy)) {
        return 0;
    }
    int count = 0;
    XineramaScreenInfo* screens = XineramaQueryScreens(dpy, &count);
    if (screens == nullptr) {
        return 0;
    }
    int n = 0;
    for (int i = 0; i < count && n < capacity; ++i) {
        out[n++] =
            MonitorRect{screens[i].x_org, screens[i].y_org, screens[i].width, screens[i].height};
    }
    XFree(screens);
    return n;
}

}  // namespace

int X11GetMonitors(Display* dpy, MonitorRect* out, int capacity) {
    if (dpy == nullptr || out == nullptr || capacity <= 0) {
        return 0;
    }
    // RandR first; Xinerama where it lists more screens (a server whose
    // RandR sees only its first screen, as under Xinerama proper).
    const int n = RandrMonitors(dpy, out, capacity);
    MonitorRect screens[64];
    const int m = XineramaMonitors(dpy, screens, std::min(capacity, 64));
    if (m > n) {
        std::copy(screens, screens + m, out);
        return m;
    }
    return n;
}

int X11ScreenDpi(Display* dpy) {
    if (dpy == nullptr) {
        return 0;
    }
    const char* resources = XResourceManagerString(dpy);
    if (resources == nullptr) {
        return 0;
    }
    XrmInitialize();
    XrmDatabase database = XrmGetStringDatabase(resources);
    if (database == nullptr) {
        return 0;
    }
    int dpi = 0;
    char* type = nullptr;
    XrmValue value;
    if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr != nullptr) {
        char* end = nullptr;
        const double read = std::strtod(value.addr, &end);
        if (end != value.addr && std::isfinite(read) && read >= 1.0 && read <= 10000.0) {
            dpi = static_cast<int>(std::lround(read));
        }
    }
    XrmDestroyDatabase(database);
    return dpi;
}
