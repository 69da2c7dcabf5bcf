#include "host/startup.h"

#include "host/dispatch.h"

namespace mirelune {

RunMode hostMain(HostContext& context, Platform& platform, ModeProcedures& modes) {
    // Each condition is queried on its own line so that none of them short-cuts another.
    const bool displayProperties = platform.displayPropertiesWindowExists();
    const bool previousInstance = platform.previousInstanceRunning();
    const bool refused = refusesStart(displayProperties, previousInstance, platform.argumentText());
    if (refused) {
        return RunMode::None;
    }

    context.random.randomize();

    // The input handlers read runMode while the mode's procedure runs, so it is set first.
    context.runMode = dispatch(platform.argumentText());
    switch (context.runMode) {
        case RunMode::Preview:
            modes.runPreview();
            break;
        case RunMode::Configure:
            modes.showConfig();
            break;
        case RunMode::Saver:
            modes.runSaver();
            break;
        case RunMode::Password:
            modes.changePassword();
            break;
        case RunMode::None:
            break;
    }
    return context.runMode;
}

}  // namespace mirelune
