// The process entry of the saver host: the single-instance rule, seeding, and the hand-over
// to the procedure of the chosen run mode.
#pragma once

#include "host/host_context.h"
#include "host/platform.h"
#include "host/run_mode.h"

namespace mirelune {

// The four run modes' procedures, supplied by whoever owns the forms.
class ModeProcedures {
  public:
    virtual ~ModeProcedures() = default;
    virtual void runSaver() = 0;
    virtual void runPreview() = 0;
    virtual void showConfig() = 0;
    virtual void changePassword() = 0;
};

// Refuses a second "/s" instance silently (returning None without seeding or running
// anything); otherwise seeds the generator, records the mode in context.runMode before its
// procedure runs, and returns that mode once the procedure has returned. None means the
// process has nothing left to do.
RunMode hostMain(HostContext& context, Platform& platform, ModeProcedures& modes);

}  // namespace mirelune
