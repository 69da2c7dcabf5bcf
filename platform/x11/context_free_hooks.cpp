#include "context_free_hooks.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <initializer_list>

namespace mirelune::x11 {
namespace {

volatile std::sig_atomic_t terminationWriteEnd = -1;
volatile std::sig_atomic_t terminationSeen = 0;
volatile std::sig_atomic_t windowGoneError = 0;
volatile std::sig_atomic_t otherXError = 0;

extern "C" void onTerminationSignal(int) {
    terminationSeen = 1;
    const int fd = terminationWriteEnd;
    if (fd >= 0) {
        const char byte = 0;
        // A full pipe already says what this write would say.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
}

extern "C" int recordXError(Display*, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        windowGoneError = 1;
    } else {
        otherXError = 1;
    }
    return 0;
}

}  // namespace

int installTerminationPipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    terminationWriteEnd = fds[1];
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
    return fds[0];
}

bool terminationRequested() {
    return terminationSeen != 0;
}

void installXErrorRecorder() {
    XSetErrorHandler(recordXError);
}

bool takeWindowGoneError() {
    const bool seen = windowGoneError != 0;
    windowGoneError = 0;
    return seen;
}

bool takeOtherXError() {
    const bool seen = otherXError != 0;
    otherXError = 0;
    return seen;
}

}  // namespace mirelune::x11
