// What the screen shows, read back through the screen's device context:
// the pictures the tests probe at known places.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A copy of a rectangle of the screen, taken at once.
class CScreenShot {
public:
    explicit CScreenShot(const RECT& area);

    // The colour at a point given in screen coordinates, which must lie in
    // the area.
    COLORREF Pixel(int x, int y) const;
    const RECT& Area() const noexcept { return area; }
    // Writes the shot as a 24-bit BMP file, as evidence of a failure.
    bool Save(const std::string& path) const;

private:
    RECT area;
    int width;
    int height;
    std::vector<std::uint32_t> pixels;  // top-down rows of 0x00RRGGBB
};

COLORREF ScreenPixel(int x, int y);

// True when every channel differs by at most `tolerance`.
bool ColorsNear(COLORREF a, COLORREF b, int tolerance);

// The brightest of the three channels.
int Brightness(COLORREF color);

// "RR GG BB" in hexadecimal, for failure messages.
std::string ColorText(COLORREF color);
