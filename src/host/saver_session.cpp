#include "host/saver_session.h"

namespace mirelune {

bool SaverSession::onInput(InputEvent event) {
    if (context_.runMode != RunMode::Saver) {
        return false;
    }
    if (event != InputEvent::MouseMove || movecount_ >= kMoveAllowance) {
        return true;
    }
    ++movecount_;
    return false;
}

bool SaverSession::cancelUnload(SaverServices& services) {
    if (context_.runMode != RunMode::Saver || !context_.passwordFeaturesOn()) {
        return false;
    }
    movecount_ = 0;
    services.showCursor(true);
    const bool refused = services.verifyScreenSavePassword() == PasswordCheck::Refused;
    services.showCursor(false);
    return refused;
}

}  // namespace mirelune
