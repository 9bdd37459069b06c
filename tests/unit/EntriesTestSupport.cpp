#include "EntriesTestSupport.h"

#include "../support/MenuControls.h"
#include "../support/WideTree.h"
#include "res/resource.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace entriestest {

namespace {

constexpr DWORD kPollStepMs = 20;
constexpr DWORD kPollLimitMs = 20000;

int UniqueNumber()
{
    static int next = 0;
    return ++next;
}

}  // namespace

const std::vector<std::string>& FullLayout()
{
    static const std::vector<std::string> layout = {
        "\\Nimbo\\setup.exe",
        "\\Tavrin HotFix2\\Vexa_HotFix2.exe",
        "\\Adobe Updater 1.5.1\\setup.exe",
        "\\ExtraPlug-ins\\AfterEffects\\setup.exe",
        "\\ExtraPlug-ins\\3DsMax\\setup.exe",
        "\\ExtraPlug-ins\\Photoshop\\setup.exe",
        "\\ExtraPlug-ins\\LightWave\\setup.exe",
        "\\ExtraPlug-ins\\Effects\\Setup.exe",
        "\\Bonus\\DesktopWallpapers\\setup.exe",
        "\\Bonus\\VFWSoftwareCodecs\\setup.exe",
        "\\Bonus\\Pixelan\\spicemaster2tavrindemo.exe",
        "\\Bonus\\AcrobatReader\\Acrobat Reader 5.00.exe",
        "\\Docs\\Manual_VexaA.pdf",
        "\\Docs\\Manual_VexaB.pdf",
        "\\Readme.htm",
        "\\Readme\\readme.fr.htm",
        "\\Readme\\readme.de.htm",
        "\\Readme\\readme.it.htm",
        "\\Readme\\readme.es.htm",
        "\\Readme\\readme.jp.htm",
    };
    return layout;
}

CTestHost::CTestHost(Kind kind)
{
    if (kind == kHeadless)
        return;
    title = "Entries test menu " + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(UniqueNumber());
    menu.Reset(::CreateWindowExA(0, "STATIC", title.c_str(), WS_POPUP, 0, 0, 400, 400, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr));
    EXPECT_TRUE(menu);
    int top = 0;
    for (int controlId : kMenuControls) {
        const HWND control = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, top, 200, 20,
                                               menu.Get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                                               ::GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(nullptr, control);
        auto button = std::make_unique<CHoverButton>();
        EXPECT_TRUE(button->Attach(control));
        buttons[controlId] = std::move(button);
        top += 20;
    }
}

CTestHost::~CTestHost() = default;

CHoverButton* CTestHost::EntryButton(int controlId)
{
    const auto found = buttons.find(controlId);
    return found != buttons.end() ? found->second.get() : nullptr;
}

int CTestHost::AskModel()
{
    ++modelQuestions;
    return modelAnswer;
}

CRecorder::CRecorder(const std::string& folder, const std::string& windowTitle) : file(folder + "\\records.txt")
{
    ::SetEnvironmentVariableA("SPLASH_RECORD", file.c_str());
    ::SetEnvironmentVariableA("SPLASH_RECORD_WINDOW", windowTitle.empty() ? nullptr : windowTitle.c_str());
    ::SetEnvironmentVariableA("SPLASH_RECORD_SLEEP_MS", nullptr);
}

CRecorder::~CRecorder()
{
    WaitForPrograms();
    ::SetEnvironmentVariableA("SPLASH_RECORD", nullptr);
    ::SetEnvironmentVariableA("SPLASH_RECORD_WINDOW", nullptr);
    ::SetEnvironmentVariableA("SPLASH_RECORD_SLEEP_MS", nullptr);
}

void CRecorder::SleepEach(DWORD milliseconds) const
{
    ::SetEnvironmentVariableA("SPLASH_RECORD_SLEEP_MS", std::to_string(milliseconds).c_str());
}

std::vector<CRecord> CRecorder::Records() const
{
    std::vector<CRecord> records;
    std::ifstream input(file);
    std::string line;
    while (std::getline(input, line)) {
        std::istringstream fields(line);
        CRecord record;
        std::string processId;
        std::getline(fields, processId, '\t');
        std::getline(fields, record.menu, '\t');
        std::getline(fields, record.workingFolder, '\t');
        std::getline(fields, record.commandLine);
        record.processId = static_cast<DWORD>(std::stoul(processId));
        records.push_back(record);
    }
    return records;
}

std::vector<CRecord> CRecorder::WaitForRecords(size_t count) const
{
    for (DWORD waited = 0; waited < kPollLimitMs; waited += kPollStepMs) {
        const std::vector<CRecord> records = Records();
        if (records.size() >= count)
            return records;
        ::Sleep(kPollStepMs);
    }
    return Records();
}

void CRecorder::Clear() const
{
    WaitForPrograms();
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}

// Gives every recorded program the time to end by itself; none is stopped,
// since an id recorded long ago may belong to another process by now.
void CRecorder::WaitForPrograms() const
{
    for (const CRecord& record : Records()) {
        COwnedKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, record.processId));
        if (process)
            ::WaitForSingleObject(process.Get(), kPollLimitMs);
    }
}

std::string InSystemCodePage(const std::wstring& text)
{
    return widetree::Encode(text, CP_ACP);
}

}  // namespace entriestest
