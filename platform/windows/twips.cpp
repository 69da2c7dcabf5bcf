#include "twips.h"

#include "system_function.h"

namespace mirelune::windows {
namespace {

static_assert(twipsToPixels(4680, 96) == 312 && twipsToPixels(-120, 96) == -8);
static_assert(twipsToPixels(5, 144) == 1 && twipsToPixels(-5, 144) == -1,
              "a half pixel rounds away from zero on both sides");

// The per-DPI functions of this library came with Windows 10; they are looked up when first
// needed so that the saver still starts on older systems, which then get the screen's DPI.
constexpr wchar_t kUser32[] = L"user32.dll";

Dpi screenDpi() {
    Dpi dpi;
    if (const HDC screen = GetDC(nullptr)) {
        const int x = GetDeviceCaps(screen, LOGPIXELSX);
        const int y = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        if (x > 0 && y > 0) {
            dpi = {x, y};
        }
    }
    return dpi;
}

}  // namespace

Dpi windowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT WINAPI(HWND);
    static const auto getDpiForWindow =
        systemFunction<GetDpiForWindowFunction>(kUser32, "GetDpiForWindow");
    if (getDpiForWindow != nullptr) {
        if (const int dpi = static_cast<int>(getDpiForWindow(window)); dpi > 0) {
            return {dpi, dpi};
        }
    }
    return screenDpi();
}

RECT windowRectForClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpiFunction = BOOL WINAPI(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        systemFunction<AdjustForDpiFunction>(kUser32, "AdjustWindowRectExForDpi");
    RECT rect{0, 0, width, height};
    if (adjustForDpi != nullptr &&
        adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        return rect;
    }
    rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return rect;
}

HFONT createMessageFont(int dpi) {
    using MetricsForDpiFunction = BOOL WINAPI(UINT, UINT, PVOID, UINT, UINT);
    static const auto metricsForDpi =
        systemFunction<MetricsForDpiFunction>(kUser32, "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (metricsForDpi != nullptr && metricsForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics,
                                                  0, static_cast<UINT>(dpi))) {
        return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        return nullptr;
    }
    // Without the per-DPI query the metrics are the screen's; scale them to the window.
    LOGFONTW& font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, dpi, screenDpi().y);
    return CreateFontIndirectW(&font);
}

}  // namespace mirelune::windows
