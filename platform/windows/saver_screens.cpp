#include "saver_screens.h"

#include <algorithm>

namespace mirelune::windows {

SaverScreens::SaverScreens(HINSTANCE instance, WinPlatform& platform, HostContext& context,
                           const RenderSettings& settings)
    : instance_(instance),
      platform_(platform),
      context_(context),
      settings_(settings),
      session_(context) {}

SaverScreens::~SaverScreens() {
    clear();
}

void SaverScreens::clear() {
    platform_.setOwnerWindow(nullptr);
    kaleidoscopes_.clear();
    blanks_.reset();
    windows_.clear();
}

bool SaverScreens::show() {
    clear();
    const std::vector<Monitor> monitors = displayMonitors();
    std::vector<ScreenRect> areas = kaleidoscopeAreas(monitors);
    if (areas.empty())
        areas.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
    for (const ScreenRect& area : areas) {
        auto window = SaverWindow::load(instance_, platform_, context_.random, settings_,
                                        WindowState::Maximized, area, this);
        // Without the primary monitor's window there is no saver; another one missing leaves
        // its monitor to the covers' black.
        if (!window) {
            if (windows_.empty()) return false;
            continue;
        }
        windows_.push_back(std::move(window));
    }
    const std::vector<ScreenRect> covers = blankAreas(monitors);
    blanks_ = std::make_unique<MonitorBlanks>(instance_, covers,
                                              [this](InputEvent event) { onInput(event); });
    // The password question is owned by the primary monitor's window.
    platform_.setOwnerWindow(windows_.front()->handle());
    for (std::size_t i = windows_.size(); i-- > 0;) {
        windows_[i]->showFullScreen(i == 0);
        kaleidoscopes_.insert(kaleidoscopes_.begin(), {&windows_[i]->fract(), windows_[i].get()});
    }
    return true;
}

std::span<const Kaleidoscope> SaverScreens::kaleidoscopes() {
    if (rebuild_ && !closed()) {
        rebuild_ = false;
        if (!show()) closed_ = true;
    }
    return kaleidoscopes_;
}

bool SaverScreens::closed() const {
    // A window destroyed from outside ends the saver too: nothing is left behind.
    return closed_ || platform_.quitRequested() ||
           std::any_of(windows_.begin(), windows_.end(), [](const auto& w) { return w->closed(); });
}

void SaverScreens::onInput(InputEvent event) {
    if (session_.onInput(event)) onCloseRequest();
}

void SaverScreens::onCloseRequest() {
    if (closed_ || session_.cancelUnload(platform_)) return;
    closed_ = true;
}

}  // namespace mirelune::windows
