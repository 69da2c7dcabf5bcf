#include "host/startup.h"

namespace mirelune {

RunMode hostMain(HostContext& context, SaverServices& services, ModeProcedures& modes) {
    // Each condition is queried on its own line so that none of them short-cuts another.
    const bool displayProperties = services.displayPropertiesWindowExists();
    const bool previousInstance = services.previousInstanceRunning();
    const bool refused = refusesStart(displayProperties, previousInstance, services.argumentText());
    if (refused) {
        return RunMode::None;
    }

    context.random.randomize();

    // The input handlers read runMode while the mode's procedure runs, so it is set first.
    context.runMode = dispatch(services.argumentText());
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
