// The two callbacks that receive no context of their own: the termination signal handler
// and Xlib's error handler. They hold the program's only process-wide state, each a flag a
// signal handler may write, and the rest of the program reads it through these functions.
#pragma once

namespace mirelune::x11 {

// Makes SIGTERM, SIGINT and SIGHUP write to a pipe instead of killing the process; returns
// the pipe's read end, which becomes readable once such a signal arrives (-1 on failure).
int installTerminationPipe();
bool terminationRequested();

// Makes Xlib record protocol errors instead of exiting. A window or drawable that no longer
// exists is the usual one: the window the saver draws into has been destroyed.
void installXErrorRecorder();
// Each returns whether such an error arrived since the last call, and clears the record.
bool takeWindowGoneError();
bool takeOtherXError();

}  // namespace mirelune::x11
