#include "shell/monitor_layout.h"

#include <algorithm>

int SaverLayOutViewports(int windowX, int windowY, int windowWidth, int windowHeight,
                         const MonitorRect* monitors, int monitorCount, SaverViewport* out,
                         int capacity) {
    if (monitors == nullptr || out == nullptr || windowWidth <= 0 || windowHeight <= 0) {
        return 0;
    }
    int count = 0;
    for (int i = 0; i < monitorCount && count < capacity; ++i) {
        const MonitorRect& m = monitors[i];
        if (m.width <= 0 || m.height <= 0) {
            continue;
        }
        // Window coordinates from the top left, clipped to the window. Wide
        // arithmetic: a damaged list may hold any numbers.
        const long long left = std::max(0LL, static_cast<long long>(m.x) - windowX);
        const long long top = std::max(0LL, static_cast<long long>(m.y) - windowY);
        const long long right =
            std::min<long long>(windowWidth, static_cast<long long>(m.x) - windowX + m.width);
        const long long bottom =
            std::min<long long>(windowHeight, static_cast<long long>(m.y) - windowY + m.height);
        if (right <= left || bottom <= top) {
            continue;
        }
        SaverViewport v;
        v.x = static_cast<int32_t>(left);
        v.y = static_cast<int32_t>(windowHeight - bottom);  // GL counts rows from the bottom
        v.width = static_cast<int32_t>(right - left);
        v.height = static_cast<int32_t>(bottom - top);
        const bool repeat = std::any_of(out, out + count, [&](const SaverViewport& o) {
            return o.x == v.x && o.y == v.y && o.width == v.width && o.height == v.height;
        });
        if (!repeat) {
            out[count++] = v;
        }
    }
    if (count == 1 && out[0].x == 0 && out[0].y == 0 && out[0].width == windowWidth &&
        out[0].height == windowHeight) {
        return 0;
    }
    return count;
}
