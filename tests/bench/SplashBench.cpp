// Benchmarks of the menu's costly steps, printed as tables. Each section is
// one function that fills a table; a section is added by writing its
// function and listing it in kSections.
//   splash_bench.exe             runs every section
//   splash_bench.exe NAME ...    runs the named sections
#include "controls/WindowRegion.h"
#include "framework/Application.h"
#include "framework/Handles.h"
#include "res/resource.h"

#include "../support/ControlsHarness.h"
#include "../support/ReferenceRegion.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// A table of text cells printed with each column as wide as its widest cell;
// numbers are right-aligned.
class CTable {
public:
    explicit CTable(std::vector<std::string> headings) : headings(std::move(headings)) {}

    void AddRow(std::vector<std::string> cells) { rows.push_back(std::move(cells)); }

    void Print(const char* title) const
    {
        std::vector<size_t> widths(headings.size());
        for (size_t column = 0; column < headings.size(); ++column) {
            widths[column] = headings[column].size();
            for (const auto& row : rows)
                widths[column] = std::max(widths[column], column < row.size() ? row[column].size() : 0);
        }
        std::printf("\n%s\n", title);
        PrintRow(headings, widths, false);
        for (size_t column = 0; column < widths.size(); ++column)
            std::printf("%s%s", column == 0 ? "" : "  ", std::string(widths[column], '-').c_str());
        std::printf("\n");
        for (const auto& row : rows)
            PrintRow(row, widths, true);
        std::fflush(stdout);
    }

private:
    static bool IsNumber(const std::string& cell)
    {
        return !cell.empty() && cell.find_first_not_of("0123456789.,x -") == std::string::npos &&
               cell.find_first_of("0123456789") != std::string::npos;
    }

    static void PrintRow(const std::vector<std::string>& cells, const std::vector<size_t>& widths, bool alignNumbers)
    {
        for (size_t column = 0; column < widths.size(); ++column) {
            const std::string cell = column < cells.size() ? cells[column] : "";
            const int width = static_cast<int>(widths[column]);
            const char* separator = column == 0 ? "" : "  ";
            const bool last = column + 1 == widths.size();
            if (alignNumbers && IsNumber(cell))
                std::printf("%s%*s", separator, width, cell.c_str());
            else
                std::printf("%s%-*s", separator, last ? 0 : width, cell.c_str());
        }
        std::printf("\n");
    }

    std::vector<std::string> headings;
    std::vector<std::vector<std::string>> rows;
};

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

// The median wall time of `runs` calls of `work`, in milliseconds, after one
// call that is not counted (first-use costs).
double MedianMs(int runs, const std::function<void()>& work)
{
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    work();
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER start{};
        LARGE_INTEGER end{};
        ::QueryPerformanceCounter(&start);
        work();
        ::QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The main face picture stretched to `width` by `height`, as the dialog makes its face.
CBitmapHandle StretchedMainFace(int width, int height)
{
    CBitmapHandle picture(::LoadBitmapA(CApplication::Instance(), MAKEINTRESOURCEA(IDB_MAIN_FACE)));
    if (!picture)
        return CBitmapHandle();
    BITMAP info{};
    ::GetObjectA(picture.Get(), sizeof(info), &info);
    CMemoryDc pictureDc(::CreateCompatibleDC(nullptr));
    CSelectedObject pictureSelection(pictureDc.Get(), picture.Get());
    CBitmapHandle face(::CreateCompatibleBitmap(pictureDc.Get(), width, height));
    CMemoryDc faceDc(::CreateCompatibleDC(nullptr));
    CSelectedObject faceSelection(faceDc.Get(), face.Get());
    ::StretchBlt(faceDc.Get(), 0, 0, width, height, pictureDc.Get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    return face;
}

long RectangleCount(HRGN region)
{
    const DWORD size = ::GetRegionData(region, 0, nullptr);
    return size <= sizeof(RGNDATAHEADER) ? 0 : static_cast<long>((size - sizeof(RGNDATAHEADER)) / sizeof(RECT));
}

// The shaped window region of the main face, the reference way (GetPixel
// per pixel, CombineRgn per run) against the fast builder, no opaque area.
void BenchWindowRegion()
{
    constexpr COLORREF kMagenta = RGB(255, 0, 255);
    constexpr int kReferenceRuns = 3;
    constexpr int kFastRuns = 7;
    const SIZE sizes[] = {{763, 560}, {1526, 1120}};
    const RECT none{0, 0, 0, 0};

    CTable table({"face", "size", "rectangles", "reference ms", "fast ms", "ratio", "same region"});
    for (const SIZE size : sizes) {
        for (const bool holed : {false, true}) {
            CBitmapHandle face = StretchedMainFace(size.cx, size.cy);
            if (!face) {
                std::printf("picture %d cannot be loaded\n", IDB_MAIN_FACE);
                return;
            }
            if (holed)
                harness::CutShapes(face.Get(), kMagenta);

            CRegionHandle expected;
            const double referenceMs = MedianMs(kReferenceRuns, [&] {
                expected = reference::BuildReferenceRegion(face.Get(), size, size, kMagenta, none);
            });
            CRegionHandle actual;
            const double fastMs = MedianMs(kFastRuns, [&] {
                actual.Reset(BuildRegionFromPixels(ReadFacePixels(face.Get(), size.cx, size.cy), kMagenta, none));
            });
            const bool same = ::EqualRgn(expected.Get(), actual.Get()) != FALSE;
            table.AddRow({holed ? "picture 131 with magenta shapes" : "picture 131",
                          std::to_string(size.cx) + " x " + std::to_string(size.cy),
                          std::to_string(RectangleCount(actual.Get())), Format("%.1f", referenceMs),
                          Format("%.2f", fastMs), Format("%.0f", fastMs > 0 ? referenceMs / fastMs : 0.0),
                          same ? "yes" : "NO"});
        }
    }
    table.Print("Window region of the main face (median of runs; ratio = reference / fast)");
}

struct CSection {
    const char* name;
    void (*run)();
};

const CSection kSections[] = {
    {"region", &BenchWindowRegion},
};

}  // namespace

int main(int argc, char** argv)
{
    int ran = 0;
    for (const CSection& section : kSections) {
        bool wanted = argc <= 1;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], section.name) == 0;
        if (!wanted)
            continue;
        section.run();
        ++ran;
    }
    if (ran == 0) {
        std::printf("no such section; the sections are:");
        for (const CSection& section : kSections)
            std::printf(" %s", section.name);
        std::printf("\n");
        return 1;
    }
    return 0;
}
