#include "StartupBreakdown.h"

#include "BenchTable.h"

#include <fstream>
#include <map>
#include <sstream>

namespace bench {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

// One line of a record: "P counter name", "B counter name" or "E counter name".
struct CRecordLine {
    char kind = 0;
    LONGLONG counter = 0;
    std::string name;
};

bool ParseLine(const std::string& line, CRecordLine& parsed)
{
    std::istringstream fields(line);
    std::string kind;
    long long counter = 0;
    if (!(fields >> kind >> counter) || kind.size() != 1)
        return false;
    fields >> std::ws;
    std::getline(fields, parsed.name);
    parsed.kind = kind[0];
    parsed.counter = counter;
    return !parsed.name.empty();
}

}  // namespace

double CStartupRun::TotalMs() const
{
    double total = 0.0;
    for (const CPhase& phase : phases)
        total += phase.ms;
    return total;
}

bool ReadStartupRecord(const std::string& path, LONGLONG startCounter, CStartupRun& run)
{
    run = CStartupRun();
    std::ifstream input(path);
    std::string word;
    long long frequency = 0;
    if (!(input >> word >> frequency) || word != "frequency" || frequency <= 0)
        return false;
    auto toMs = [frequency](LONGLONG from, LONGLONG to) {
        return 1000.0 * static_cast<double>(to - from) / static_cast<double>(frequency);
    };

    LONGLONG phaseStart = startCounter;
    std::map<std::string, LONGLONG> openSpans;
    std::vector<std::pair<std::string, double>> spans;  // of the phase under way
    std::string line;
    std::getline(input, line);
    while (std::getline(input, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        CRecordLine parsed;
        if (line.empty())
            continue;
        if (!ParseLine(line, parsed))
            return false;
        if (parsed.kind == 'P') {
            run.phases.push_back({parsed.name, toMs(phaseStart, parsed.counter), std::move(spans)});
            spans.clear();
            phaseStart = parsed.counter;
        } else if (parsed.kind == 'B') {
            openSpans[parsed.name] = parsed.counter;
        } else if (parsed.kind == 'E') {
            const auto open = openSpans.find(parsed.name);
            if (open == openSpans.end())
                continue;
            const double ms = toMs(open->second, parsed.counter);
            openSpans.erase(open);
            auto same = spans.begin();
            while (same != spans.end() && same->first != parsed.name)
                ++same;
            if (same != spans.end())
                same->second += ms;
            else
                spans.emplace_back(parsed.name, ms);
        }
    }
    return !run.phases.empty();
}

CStartupBreakdown::CStartupBreakdown(std::vector<std::string> programs) :
    programs(std::move(programs)), runs(this->programs.size())
{
}

void CStartupBreakdown::Add(size_t program, const CStartupRun& run)
{
    runs[program].push_back(run);
    AddRows(run);
}

// A phase new to the table goes right after the phase that came before it in
// this start; a span new to its phase goes after the phase's other spans.
void CStartupBreakdown::AddRows(const CStartupRun& run)
{
    auto endOfPhase = [this](const std::string& phase) {
        size_t end = kNone;
        for (size_t index = 0; index < rows.size(); ++index) {
            if (rows[index].phase == phase)
                end = index + 1;
        }
        return end;
    };
    size_t insertAt = 0;
    for (const CStartupRun::CPhase& phase : run.phases) {
        if (endOfPhase(phase.name) == kNone)
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(insertAt), CRow{phase.name, std::string()});
        for (const auto& span : phase.spans) {
            bool known = false;
            for (const CRow& row : rows)
                known = known || (row.phase == phase.name && row.span == span.first);
            if (!known)
                rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(endOfPhase(phase.name)),
                            CRow{phase.name, span.first});
        }
        insertAt = endOfPhase(phase.name);
    }
}

double CStartupBreakdown::MedianTotalMs(size_t program) const
{
    return Median(TotalsMs(program));
}

std::vector<double> CStartupBreakdown::TotalsMs(size_t program) const
{
    std::vector<double> totals;
    for (const CStartupRun& run : runs[program])
        totals.push_back(run.TotalMs());
    return totals;
}

// A start that reached the phase without the span counts the span as 0 ms.
bool CStartupBreakdown::MedianOf(const CRow& row, size_t program, double& median) const
{
    std::vector<double> values;
    for (const CStartupRun& run : runs[program]) {
        for (const CStartupRun::CPhase& phase : run.phases) {
            if (phase.name != row.phase)
                continue;
            double value = row.span.empty() ? phase.ms : 0.0;
            for (const auto& span : phase.spans) {
                if (span.first == row.span)
                    value += span.second;
            }
            values.push_back(value);
        }
    }
    if (values.empty())
        return false;
    median = Median(values);
    return true;
}

void CStartupBreakdown::Print(const char* title) const
{
    std::vector<std::string> headings = {"phase (spans: of which)"};
    for (const std::string& program : programs) {
        headings.push_back(program + " ms");
        headings.push_back("share");
    }
    CTable table(headings);
    for (const CRow& row : rows) {
        std::vector<std::string> cells = {row.span.empty() ? row.phase : "    of which: " + row.span};
        for (size_t program = 0; program < programs.size(); ++program) {
            double median = 0.0;
            const double total = MedianTotalMs(program);
            if (MedianOf(row, program, median)) {
                cells.push_back(Format(median < 10 ? "%.2f" : "%.1f", median));
                cells.push_back(total > 0 ? Format("%.1f %%", 100.0 * median / total) : "-");
            } else {
                cells.push_back("");
                cells.push_back("");
            }
        }
        table.AddRow(cells);
    }
    std::vector<std::string> totals = {"process start to first complete paint"};
    for (size_t program = 0; program < programs.size(); ++program) {
        totals.push_back(Format("%.1f", MedianTotalMs(program)));
        totals.push_back("100 %");
    }
    table.AddRow(totals);
    table.Print(title);
}

}  // namespace bench
