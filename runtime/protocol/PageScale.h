#pragma once
// How the page's CSS pixels map to the window's device pixels on a screen
// of a given density: the engine lays the page out at the window's size in
// CSS pixels and draws it at the device scale, so text is as sharp as the
// screen allows and input lands where the user points.

namespace vxrt {

class PageScale {
public:
    static const int kBaseDpi = 96;
    // Densities outside what a screen has (a broken report) count as the base.
    static const int kMinDpi = 48, kMaxDpi = 480;

    PageScale() = default;
    explicit PageScale(int dpi) : m_dpi(dpi >= kMinDpi && dpi <= kMaxDpi ? dpi : kBaseDpi) {}

    int Dpi() const { return m_dpi; }
    // Device pixels per CSS pixel.
    double Factor() const { return static_cast<double>(m_dpi) / kBaseDpi; }
    // A window length in device pixels as a whole number of CSS pixels (at
    // least one).
    int CssLength(int devicePixels) const;
    // A window position in CSS pixels (fractions kept: input lands exactly).
    double ToCss(int devicePixels) const { return static_cast<double>(devicePixels) * kBaseDpi / m_dpi; }
    // A page position or length in device pixels, rounded to the nearest.
    int ToDevice(double cssPixels) const;
    // The smallest run of device pixels that is a whole number of CSS
    // pixels: pictures of parts of the page start and end on it.
    int Grid() const;
    // Widens [lo, hi), first cut to [0, limit), outwards to the grid. The
    // widened run may pass the limit by less than a grid step (a window
    // whose size is not on the grid, at its far edge): what lies past it is
    // cut off the picture. False when nothing is left.
    bool AlignToGrid(int& lo, int& hi, int limit) const;

    bool operator==(const PageScale& o) const { return m_dpi == o.m_dpi; }
    bool operator!=(const PageScale& o) const { return m_dpi != o.m_dpi; }

private:
    int m_dpi = kBaseDpi;
};

}  // namespace vxrt
