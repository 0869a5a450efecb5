#pragma once
// Pixels at a display's resolution. Every pixel value of the main window is given
// for 96 pixels per inch and turned into the window's pixels by this one rounding
// (as the system's MulDiv rounds: the nearest pixel, a half away from zero), so that
// values scaled in different places still agree and nothing moves at 96.

class TDpiScale {
public:
    static constexpr int BaseDpi = 96;
    static constexpr int MinDpi = 48;
    static constexpr int MaxDpi = 960;

    TDpiScale() = default;
    // A resolution outside what any display reports counts as 96.
    explicit TDpiScale(int dpi) : dpi_(dpi >= MinDpi && dpi <= MaxDpi ? dpi : BaseDpi) {}

    int Dpi() const { return dpi_; }
    bool Identity() const { return dpi_ == BaseDpi; }
    // A 96-DPI value in this resolution's pixels.
    int operator()(int value) const {
        long long n = (long long)value * dpi_;
        long long r = n >= 0 ? (n + BaseDpi / 2) / BaseDpi : -((-n + BaseDpi / 2) / BaseDpi);
        return (int)r;
    }

private:
    int dpi_ = BaseDpi;
};
