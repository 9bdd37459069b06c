#include "TestDisc.h"

#include "TestPaths.h"
#include "WideTree.h"
#include "base/Handles.h"

#include <gtest/gtest.h>

#include <psapi.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

constexpr DWORD kPollMs = 50;
constexpr DWORD kProcessEndWaitMs = 5000;
// A program that has just ended may hold its working folder a moment longer.
constexpr DWORD kRemoveLimitMs = 20000;

// A folder name no other test run uses: process id, time and a counter.
std::string UniqueTempFolder()
{
    static std::atomic<unsigned> counter{0};
    char temp[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof(temp), temp);
    if (length == 0 || length > MAX_PATH)
        throw std::runtime_error("no temporary folder");
    std::ostringstream name;
    name << temp << "splash-test-" << ::GetCurrentProcessId() << "-" << ::GetTickCount() << "-" << counter++;
    return name.str();
}

// Copies a file, making the target's folders; a test cannot go on without it.
void CopyOrThrow(const std::string& from, const std::string& to)
{
    MakeParentFolders(to);
    if (!::CopyFileA(from.c_str(), to.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + from + " to " + to);
}

// Writes a whole file, making its folders.
void WriteOrThrow(const std::string& path, const std::string& content)
{
    MakeParentFolders(path);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    if (!file)
        throw std::runtime_error("cannot write " + path);
}

// Deletes a folder tree, given as an extended-length path so that a tree
// deeper than MAX_PATH goes too; what an ending process still holds stays
// for the next try.
bool RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    COwnedFind find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find.Get() != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find.Get(), &found));
    }
    return ::RemoveDirectoryW(folder.c_str()) != FALSE;
}

}  // namespace

void MakeParentFolders(const std::string& path)
{
    // Past the drive ("C:\") the first backslash ends the first folder.
    for (std::string::size_type slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        ::CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
}

CTestDisc::CTestDisc(const std::string& rootName) :
    folder(UniqueTempFolder()), root(folder + "\\" + rootName), logPath(folder + "\\stub-log.txt")
{
    MakeParentFolders(root + "\\");
    if (::GetFileAttributesA(root.c_str()) == INVALID_FILE_ATTRIBUTES)
        throw std::runtime_error("cannot make " + root);
}

CTestDisc::~CTestDisc()
{
    EndFixtureProcesses();
    const std::wstring tree = L"\\\\?\\" + widetree::Widen(folder);
    for (DWORD waited = 0; !RemoveTree(tree) && ::GetFileAttributesW(tree.c_str()) != INVALID_FILE_ATTRIBUTES;
         waited += kPollMs) {
        if (waited >= kRemoveLimitMs) {
            ADD_FAILURE() << "cannot remove " << folder;
            return;
        }
        ::Sleep(kPollMs);
    }
}

std::string CTestDisc::PathOf(const std::string& relative) const
{
    return !relative.empty() && relative[0] == '\\' ? root + relative : root + "\\" + relative;
}

void CTestDisc::AddMenu(const std::string& program) const
{
    CopyOrThrow(TestProgramFolder() + "\\" + program, MenuPath());
}

void CTestDisc::AddProgram(const std::string& relative, const std::string& program) const
{
    CopyOrThrow(TestProgramFolder() + "\\" + program, PathOf(relative));
}

void CTestDisc::AddStub(const std::string& relative, const std::vector<std::string>& actions) const
{
    const std::string path = PathOf(relative);
    CopyOrThrow(TestProgramFolder() + "\\StubProgram.exe", path);
    if (actions.empty())
        return;
    std::string sidecar;
    for (const std::string& action : actions)
        sidecar += action + "\r\n";
    WriteOrThrow(path + ".do", sidecar);
}

void CTestDisc::AddFile(const std::string& relative, const std::string& content) const
{
    WriteOrThrow(PathOf(relative), content);
}

void CTestDisc::Remove(const std::string& relative) const
{
    std::error_code ignored;
    std::filesystem::remove_all(PathOf(relative), ignored);
}

bool CTestDisc::Contains(const std::string& relative) const
{
    return ::GetFileAttributesA(PathOf(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<CStubRecord> CTestDisc::ReadLog() const
{
    std::vector<CStubRecord> records;
    std::ifstream file(logPath, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string::size_type first = line.find('\t');
        if (first == std::string::npos)
            continue;
        CStubRecord record;
        record.program = line.substr(0, first);
        std::string rest = line.substr(first + 1);
        if (!rest.empty() && rest[0] == '!') {
            const std::string::size_type tab = rest.find('\t');
            record.action = rest.substr(1, tab == std::string::npos ? std::string::npos : tab - 1);
            record.commandLine = tab == std::string::npos ? std::string() : rest.substr(tab + 1);
        } else {
            // The command line may hold tabs of its own; the folder cannot.
            const std::string::size_type last = rest.rfind('\t');
            record.commandLine = rest.substr(0, last);
            record.workingFolder = last == std::string::npos ? std::string() : rest.substr(last + 1);
        }
        records.push_back(record);
    }
    return records;
}

std::vector<CStubRecord> CTestDisc::Starts() const
{
    std::vector<CStubRecord> starts;
    for (const CStubRecord& record : ReadLog())
        if (record.action.empty())
            starts.push_back(record);
    return starts;
}

std::vector<CStubRecord> CTestDisc::WaitForStarts(size_t count, unsigned timeoutMs) const
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        std::vector<CStubRecord> starts = Starts();
        if (starts.size() >= count || ::GetTickCount() - start >= timeoutMs)
            return starts;
        ::Sleep(kPollMs);
    }
}

void CTestDisc::EndFixtureProcesses() const
{
    const std::string prefix = Lower(folder + "\\");
    std::vector<DWORD> ids(4096);
    DWORD bytes = 0;
    if (!::EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes))
        return;
    ids.resize(bytes / sizeof(DWORD));
    for (DWORD id : ids) {
        if (id == 0 || id == ::GetCurrentProcessId())
            continue;
        COwnedKernelHandle process(
            ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (!process)
            continue;
        char image[MAX_PATH * 2] = {};
        if (::GetModuleFileNameExA(process.Get(), nullptr, image, sizeof(image)) == 0)
            continue;
        if (Lower(image).compare(0, prefix.size(), prefix) != 0)
            continue;
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), kProcessEndWaitMs);
    }
}
