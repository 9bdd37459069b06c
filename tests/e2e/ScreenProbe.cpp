#include "ScreenProbe.h"

#include "base/Handles.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

CScreenShot::CScreenShot(const RECT& area) : area(area), width(area.right - area.left), height(area.bottom - area.top)
{
    if (width <= 0 || height <= 0)
        throw std::invalid_argument("empty screen area");
    pixels.resize(static_cast<size_t>(width) * height);
    const CWindowDc screen(nullptr);
    COwnedMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    COwnedBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    if (!memory || !bitmap)
        throw std::runtime_error("no bitmap for a screen shot");
    {
        CSelectedObject selected(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (::GetDIBits(memory.Get(), bitmap.Get(), 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        throw std::runtime_error("cannot read the screen shot");
}

COLORREF CScreenShot::Pixel(int x, int y) const
{
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom)
        throw std::out_of_range("point outside the screen shot");
    const std::uint32_t rgb = pixels[static_cast<size_t>(y - area.top) * width + (x - area.left)];
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

bool CScreenShot::Save(const std::string& path) const
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(stride) * height;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    std::vector<char> row(stride);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t rgb = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3] = static_cast<char>(rgb & 0xFF);
            row[x * 3 + 1] = static_cast<char>((rgb >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<char>((rgb >> 16) & 0xFF);
        }
        out.write(row.data(), stride);
    }
    return static_cast<bool>(out);
}

// One pixel of the screen, read the way the shots read it.
COLORREF ScreenPixel(int x, int y)
{
    return CScreenShot(RECT{x, y, x + 1, y + 1}).Pixel(x, y);
}

bool ColorsNear(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance
        && std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int Brightness(COLORREF color)
{
    const int red = GetRValue(color), green = GetGValue(color), blue = GetBValue(color);
    return red > green ? (red > blue ? red : blue) : (green > blue ? green : blue);
}

std::string ColorText(COLORREF color)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%02X %02X %02X", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}
