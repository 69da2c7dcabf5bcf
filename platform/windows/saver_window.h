// The main form `Fract` on Windows: a window that shows the renderer's surface, forwards its
// size, activation and timer to the renderer and its input to the saver's exit rules.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "host/host_context.h"
#include "host/render_driver.h"
#include "host/saver_session.h"
#include "host/screen_layout.h"
#include "render/fract.h"
#include "win_platform.h"

namespace mirelune::windows {

// Where the full-screen windows report what concerns them all: input (one allowance of mouse
// moves across every monitor), requests to close, and a change of the monitors.
class ScreenEvents {
  public:
    virtual ~ScreenEvents() = default;
    virtual void onInput(InputEvent event) = 0;
    virtual void onCloseRequest() = 0;
    virtual void onDisplayChange() = 0;
};

class SaverWindow : public RenderWindow {
  public:
    // Loads the form: creates its window, hidden, over `area`, and the renderer with the given
    // settings. `state` is Maximized for the full screen, Normal for the embedded preview;
    // `screens` gets the full-screen window's events (none in the preview, which ignores input).
    static std::unique_ptr<SaverWindow> load(HINSTANCE instance, WinPlatform& platform,
                                             Random& random, const RenderSettings& settings,
                                             WindowState state, const ScreenRect& area,
                                             ScreenEvents* screens);
    ~SaverWindow() override;

    HWND handle() const { return window_; }
    Fract& fract() { return *fract_; }

    // Shows the form topmost and maximized over its monitor and starts painting; the
    // foreground one takes the keyboard.
    void showFullScreen(bool foreground);
    // Makes the hidden form a child of `pane`, covering its client area, and starts the
    // timer whose tick starts painting. Watches the pane so that the preview ends with it.
    void embedInto(HWND pane);

    void present(const Surface& surface, std::span<const RowSpan> rows) override;
    void setClientSize(Size size) override;
    bool closed() const override { return closed_ || platform_.quitRequested(); }
    bool resting() const override { return displayOff_ || sessionAway_; }

  private:
    SaverWindow(WinPlatform& platform, ScreenEvents* screens);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void requestUnload();
    void paintAll();
    void watchPane();
    // Follows the display's power state and the session's lock, so that nothing is painted
    // while nobody can see it; a fresh picture starts when they return.
    void watchAudience();
    void setAudienceAway(bool& flag, bool away);

    WinPlatform& platform_;
    ScreenEvents* screens_;
    HWND window_ = nullptr;
    HWND pane_ = nullptr;
    Size paneSize_;
    std::unique_ptr<Fract> fract_;
    std::vector<std::uint32_t> converted_;  // rows in the display's byte order
    bool closed_ = false;
    bool displayOff_ = false;
    bool sessionAway_ = false;
    HPOWERNOTIFY displayNotification_ = nullptr;
};

}  // namespace mirelune::windows
