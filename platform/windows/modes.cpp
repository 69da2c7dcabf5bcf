#include "modes.h"

#include "config_dialog.h"
#include "host/saver_run.h"
#include "password_form.h"
#include "settings/settings_file.h"
#include "wide_text.h"

namespace mirelune::windows {
namespace {

constexpr wchar_t kAppTitle[] = L"Mirelune";

// A box with one OK button; without a caption of its own it shows the program's name.
void showFailure(const FailureMessage& failure) {
    const std::wstring caption = failure.caption ? widen(*failure.caption) : kAppTitle;
    MessageBoxW(nullptr, widen(failure.text).c_str(), caption.c_str(), MB_OK);
}

}  // namespace

void WindowsModes::runSaver() {
    beginSaverRun(context_, platform_);
    const Settings settings = loadSettings(platform_.settingsLocation().readFile);
    screens_ =
        std::make_unique<SaverScreens>(instance_, platform_, context_, toRenderSettings(settings));
    if (!screens_->show()) {
        screens_.reset();
        showFailure(kSaverFailed);
    }
}

void WindowsModes::runPreview() {
    const std::optional<std::int64_t> handle = previewHandle(platform_.argumentText());
    if (!handle) {
        showFailure(kPreviewFailed);
        return;
    }
    const HWND pane =
        reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(*handle)));
    // A handle that names no window has nothing to show in: end quietly.
    if (!IsWindow(pane)) return;
    const Settings stored = loadSettings(platform_.settingsLocation().readFile);
    preview_ = SaverWindow::load(instance_, platform_, context_.random, toRenderSettings(stored),
                                 WindowState::Normal, {0, 0, 1, 1}, nullptr);
    if (!preview_) {
        showFailure(kPreviewFailed);
        return;
    }
    preview_->fract().settings() = kPreviewSettings;
    preview_->embedInto(pane);
}

void WindowsModes::showConfig() {
    dialogLoaded_ = openConfigDialog(instance_, platform_.settingsLocation());
    if (!dialogLoaded_) showFailure(kConfigFailed);
}

void WindowsModes::changePassword() {
    const HWND form = showPasswordForm(instance_);
    if (!form) {
        showFailure(kPasswordChangeFailed);
        return;
    }
    dialogLoaded_ = true;
    platform_.processPendingEvents();
    if (!openPasswordChange(form)) showFailure(kPasswordChangeFailed);
}

int WindowsModes::run() {
    if (screens_ || preview_) {
        if (screens_) runRenderLoop(platform_, *screens_);
        if (preview_) runRenderLoop(platform_, preview_->fract(), *preview_);
        screens_.reset();
        preview_.reset();
        endSaverRun(context_, platform_);
        return 0;
    }
    if (dialogLoaded_) runFormLoop();
    return 0;
}

void WindowsModes::runFormLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (configDialogMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace mirelune::windows
