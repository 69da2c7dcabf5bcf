#include "host/saver_session.h"

namespace mirelune {

SaverSession::SaverSession(const HostContext& context, Platform& platform)
    : context_(context), platform_(platform) {}

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

bool SaverSession::cancelUnload() {
    if (context_.runMode != RunMode::Saver || !context_.passwordFeaturesOn()) {
        return false;
    }
    movecount_ = 0;
    platform_.showCursor(true);
    const bool refused = platform_.verifyScreenSavePassword() == PasswordCheck::Refused;
    platform_.showCursor(false);
    return refused;
}

}  // namespace mirelune
