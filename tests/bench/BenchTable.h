// What the benchmark's sections share to print their figures: a table of
// text cells, number formats, medians and ratios.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace bench {

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
        return !cell.empty() && cell.find_first_not_of("0123456789.,x %-") == std::string::npos
            && cell.find_first_of("0123456789") != std::string::npos;
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

inline std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

inline double ElapsedMs(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The middle value, the upper of the two middle ones for an even count.
inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline std::string Ratio(double value, double floor)
{
    return floor > 0 ? Format("%.2f x", value / floor) : "-";
}

}  // namespace bench
