// The host's input rules for one full-screen form: which input ends the saver, and whether a
// requested unload may go ahead. Outside the full-screen mode every input is ignored.
#pragma once

#include <cstdint>

#include "host/host_context.h"
#include "host/saver_services.h"

namespace mirelune {

enum class InputEvent { Click, DoubleClick, KeyDown, KeyPress, MouseMove };

class SaverSession {
  public:
    // One session per loaded form; a new form starts with no mouse moves counted.
    explicit SaverSession(const HostContext& context) : context_(context) {}

    // True when the form should be asked to unload. The first ten mouse moves are absorbed
    // (and ten more after every refused password); any other input ends at once.
    [[nodiscard]] bool onInput(InputEvent event);

    // Asked before every unload of the form; true cancels it. On the 95 family with the
    // password setting on, the user must give the password; if the password service cannot
    // be reached the unload goes ahead, so that nobody is ever locked in. A platform whose
    // run never learns the 95 family has nothing to ask and need not call this.
    [[nodiscard]] bool cancelUnload(SaverServices& services);

  private:
    static constexpr std::int16_t kMoveAllowance = 10;

    const HostContext& context_;
    std::int16_t movecount_ = 0;
};

}  // namespace mirelune
