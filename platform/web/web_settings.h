// The saver's three settings as the page holds them. They are stored in the browser in the
// settings file's own text, so a stored value is read, defaulted and clamped exactly as a
// hand-edited settings file would be; values from the address, the panel and the wallpaper
// programs are taken into the dialog's slider ranges the same way.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/config_dialog_model.h"
#include "settings/settings.h"

namespace mirelune::web {

using Slider = ConfigDialogModel::Slider;

class WebSettings {
  public:
    // storedText may be anything the browser's storage held, junk included.
    explicit WebSettings(std::string_view storedText);

    // A value given as text (the query string, a wallpaper property): read like a value of
    // the settings file (leading digits, anything without digits as 0) and clamped to the
    // slider. An empty text leaves the setting as it was.
    void setFromText(Slider slider, std::string_view valueText);

    // The panel's slider moved to p.
    void move(Slider slider, std::int32_t p) { model_.move(slider, p); }

    std::int32_t position(Slider slider) const { return model_.position(slider); }
    std::string label(Slider slider, std::string_view decimalSeparator) const {
        return model_.label(slider, decimalSeparator);
    }
    const Settings& settings() const { return model_.positions(); }

    // The text to store: a fresh settings file holding the three values.
    std::string storedText() const { return writeSettings({}, settings()); }

  private:
    ConfigDialogModel model_;
};

}  // namespace mirelune::web
