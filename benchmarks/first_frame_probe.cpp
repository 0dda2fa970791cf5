// Time from starting a program to its first picture on the X screen: starts
// the command and watches one pixel of the root window until it shows the
// given colour (the sky colour of the saver's first frame).
//   first_frame_probe X Y RRGGBB command [arguments...]
// Prints the seconds on standard output and leaves the program running; its
// process id goes to standard error. Exits with 1 after 10 s without the colour.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace {

double Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: first_frame_probe X Y RRGGBB command [arguments...]\n");
        return 2;
    }
    const int x = std::atoi(argv[1]);
    const int y = std::atoi(argv[2]);
    const unsigned long wanted = std::strtoul(argv[3], nullptr, 16);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "first_frame_probe: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const double start = Now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[4], argv + 4);
        _exit(127);
    }
    std::fprintf(stderr, "%d\n", static_cast<int>(child));
    while (Now() - start < 10.0) {
        XImage* image = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image != nullptr) {
            const unsigned long pixel = XGetPixel(image, 0, 0) & 0xffffff;
            XDestroyImage(image);
            if (pixel == wanted) {
                std::printf("%.3f\n", Now() - start);
                return 0;
            }
        }
        usleep(2000);
    }
    return 1;
}
