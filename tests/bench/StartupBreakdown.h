// The start-up breakdown of the timed programs (SplashTimed.exe and
// BareMenuTimed.exe): one start's record read back from its file, and the
// medians of many starts printed phase by phase, side by side.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace bench {

// One start. Each phase lasts from the end of the one before it (the first
// from the moment the process was created) to its own mark; each span of
// work is added up within the phase it began in.
struct CStartupRun {
    struct CPhase {
        std::string name;
        double ms = 0.0;
        std::vector<std::pair<std::string, double>> spans;
    };
    std::vector<CPhase> phases;

    // From the creation of the process to the end of the last phase.
    double TotalMs() const;
};

// Reads the record file of one start; `startCounter` is the performance
// counter read just before the process was created. False when the file is
// missing, malformed or holds no phase.
bool ReadStartupRecord(const std::string& path, LONGLONG startCounter, CStartupRun& run);

// The medians of the starts of several programs, one pair of columns each.
class CStartupBreakdown {
public:
    explicit CStartupBreakdown(std::vector<std::string> programs);

    void Add(size_t program, const CStartupRun& run);
    // The median time from the creation of the process to its last mark.
    double MedianTotalMs(size_t program) const;
    // That time for each start, in the order of the starts.
    std::vector<double> TotalsMs(size_t program) const;
    size_t RunCount(size_t program) const { return runs[program].size(); }
    // Phases in the order they end, each followed by its spans ("of which").
    void Print(const char* title) const;

private:
    struct CRow {
        std::string phase;
        std::string span;  // empty for the phase's own row
    };
    void AddRows(const CStartupRun& run);
    // The medians of the row over the program's starts that reached the phase.
    bool MedianOf(const CRow& row, size_t program, double& median) const;

    std::vector<std::string> programs;
    std::vector<std::vector<CStartupRun>> runs;
    std::vector<CRow> rows;
};

}  // namespace bench
