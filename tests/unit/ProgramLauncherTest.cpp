// Starting the fixture program and waiting for it, including the messages
// that must and must not be handled while the wait lasts.
#include "system/ProgramLauncher.h"

#include "../support/TestDisc.h"
#include "../support/TestPaths.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

constexpr DWORD kShortTimeoutMs = 300;
constexpr DWORD kGenerousTimeoutMs = 20000;
const char kSleepForever[] = " sleep 60000";

std::string FixtureProgram()
{
    return TestProgramFolder() + "\\FixtureProgram.exe";
}

// Starts the fixture by its full path, with the arguments after its name.
bool StartFixture(const std::string& arguments, DWORD creationFlags, const std::string& workingFolder,
                  COwnedKernelHandle& process)
{
    return StartProgram(FixtureProgram(), FixtureProgram() + arguments, creationFlags, workingFolder, process);
}

// Ends a fixture the test no longer needs, and makes sure it is gone.
void Stop(const COwnedKernelHandle& process)
{
    ::TerminateProcess(process.Get(), 1);
    EXPECT_EQ(WaitOutcome::Ended, WaitForProgram(process.Get(), kGenerousTimeoutMs));
}

TEST(ProgramLauncher, WaitsForAProgramThatEnds)
{
    COwnedKernelHandle process;
    ASSERT_TRUE(StartFixture("", kNormalLaunchFlags, "", process));
    ASSERT_TRUE(process);
    EXPECT_EQ(WaitOutcome::Ended, WaitForProgram(process.Get(), kGenerousTimeoutMs));
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(::GetExitCodeProcess(process.Get(), &exitCode));
    EXPECT_EQ(0u, exitCode);
    // Asking again after the end answers at once.
    EXPECT_EQ(WaitOutcome::Ended, WaitForProgram(process.Get(), 0));
}

TEST(ProgramLauncher, StopsWaitingAtTheTimeout)
{
    COwnedKernelHandle process;
    ASSERT_TRUE(StartFixture(kSleepForever, kNormalLaunchFlags, "", process));
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(WaitOutcome::TimedOut, WaitForProgram(process.Get(), kShortTimeoutMs));
    // The tick count may lag the wait's own clock by one timer step.
    EXPECT_GE(::GetTickCount() - start, kShortTimeoutMs - 20);
    EXPECT_EQ(WaitForSingleObject(process.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    Stop(process);
}

TEST(ProgramLauncher, PassesTheCreationFlags)
{
    // A suspended program cannot end, however short its work.
    COwnedKernelHandle process;
    ASSERT_TRUE(StartFixture("", CREATE_SUSPENDED | kNormalLaunchFlags, "", process));
    EXPECT_EQ(WaitOutcome::TimedOut, WaitForProgram(process.Get(), kShortTimeoutMs));
    Stop(process);
}

TEST(ProgramLauncher, ReportsWhatCannotBeStartedOrWaitedFor)
{
    COwnedKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, ::GetCurrentProcessId()));
    ASSERT_TRUE(process);
    EXPECT_FALSE(StartProgram("C:\\Missing Folder\\missing.exe", "\"C:\\Missing Folder\\missing.exe\" /l0x09",
                              kNormalLaunchFlags, "", process));
    EXPECT_FALSE(process);
    EXPECT_FALSE(StartProgram("", "", kNormalLaunchFlags, "", process));
    EXPECT_FALSE(StartFixture("", kNormalLaunchFlags, "C:\\Missing Folder", process));
    EXPECT_FALSE(process);

    EXPECT_EQ(WaitOutcome::Failed, WaitForProgram(nullptr, kShortTimeoutMs));
    const HANDLE closed = COwnedKernelHandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr)).Get();
    EXPECT_EQ(WaitOutcome::Failed, WaitForProgram(closed, kShortTimeoutMs));
}

// A temporary folder for the fixture's record, removed afterwards.
class WorkingFolderTest : public ::testing::Test {
protected:
    // Runs the fixture in the given working folder; what it recorded.
    std::string RecordedFolder(const std::string& workingFolder)
    {
        const std::string record = folder + "\\cwd.txt";
        std::filesystem::remove(record);
        COwnedKernelHandle process;
        EXPECT_TRUE(StartFixture(" cwd " + record, kNormalLaunchFlags, workingFolder, process));
        EXPECT_EQ(WaitOutcome::Ended, WaitForProgram(process.Get(), kGenerousTimeoutMs));
        std::ifstream input(record);
        return std::string(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
    }

    CTestDisc scratch{"Launcher"};
    const std::string& folder = scratch.Root();
};

TEST_F(WorkingFolderTest, AppliesTheGivenFolderOrKeepsOurs)
{
    char own[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetCurrentDirectoryA(MAX_PATH, own));
    // Not a folder that the test removes: Wine may keep a folder that was
    // the working folder of a process that has only just ended.
    const std::string given = scratch.Folder().substr(0, scratch.Folder().find_last_of('\\'));
    ASSERT_NE(std::string(own), given);

    EXPECT_EQ(given, RecordedFolder(given));
    EXPECT_EQ(std::string(own), RecordedFolder(""));
}

constexpr UINT kSentMessage = WM_APP + 1;
constexpr UINT kPostedMessage = WM_APP + 2;
constexpr LRESULT kAnswer = 42;

std::atomic<int> sentHandled{0};
std::atomic<int> postedHandled{0};

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kSentMessage) {
        ++sentHandled;
        return kAnswer;
    }
    if (message == kPostedMessage) {
        ++postedHandled;
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A message-only window of the test thread that counts what reaches it.
class WaitMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sentHandled = 0;
        postedHandled = 0;
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = CountingProcedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassA(&windowClass);
        window.Reset(
            ::CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr));
        ASSERT_TRUE(window);
    }

    void TearDown() override
    {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {}
        window.Reset();
        ::UnregisterClassA(kClassName, ::GetModuleHandleA(nullptr));
    }

    // Joins a helper thread while still answering what it sends us.
    static void Join(const COwnedKernelHandle& thread)
    {
        EXPECT_EQ(WaitOutcome::Ended, WaitForProgram(thread.Get(), kGenerousTimeoutMs));
    }

    static constexpr const char* kClassName = "TavrinWaitMessagesTest";
    COwnedWindow window;
};

struct SendOnce {
    HWND window;
    HANDLE program;
    LRESULT answer;
};

// Sends one message to the waiting thread, then ends the program it waits for.
DWORD WINAPI SendThenEndProgram(void* parameter)
{
    auto* job = static_cast<SendOnce*>(parameter);
    ::Sleep(100);
    job->answer = ::SendMessageA(job->window, kSentMessage, 0, 0);
    ::TerminateProcess(job->program, 0);
    return 0;
}

TEST_F(WaitMessagesTest, AnswersSentMessagesAndKeepsPostedOnes)
{
    COwnedKernelHandle process;
    ASSERT_TRUE(StartFixture(kSleepForever, kNormalLaunchFlags, "", process));
    ASSERT_TRUE(::PostMessageA(window.Get(), kPostedMessage, 0, 0));

    // Only an answered send lets the helper end the program before the timeout.
    SendOnce job{window.Get(), process.Get(), 0};
    COwnedKernelHandle helper(::CreateThread(nullptr, 0, SendThenEndProgram, &job, 0, nullptr));
    ASSERT_TRUE(helper);
    const WaitOutcome outcome = WaitForProgram(process.Get(), kGenerousTimeoutMs);
    Join(helper);

    EXPECT_EQ(WaitOutcome::Ended, outcome);
    EXPECT_EQ(kAnswer, job.answer);
    EXPECT_EQ(1, sentHandled.load());
    EXPECT_EQ(0, postedHandled.load());
    MSG message;
    EXPECT_TRUE(::PeekMessageA(&message, window.Get(), kPostedMessage, kPostedMessage, PM_REMOVE));
    if (outcome != WaitOutcome::Ended)
        Stop(process);
}

struct SendMany {
    HWND window;
    HANDLE stop;
};

constexpr DWORD kSendingPeriodMs = 5000;

// Keeps sending to the waiting thread until told to stop, for a while at most.
DWORD WINAPI SendUntilStopped(void* parameter)
{
    auto* job = static_cast<SendMany*>(parameter);
    const DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(job->stop, 20) == WAIT_TIMEOUT && ::GetTickCount() - start < kSendingPeriodMs)
        ::SendMessageA(job->window, kSentMessage, 0, 0);
    return 0;
}

TEST_F(WaitMessagesTest, SentMessagesDoNotStretchTheTimeout)
{
    COwnedKernelHandle process;
    ASSERT_TRUE(StartFixture(kSleepForever, kNormalLaunchFlags, "", process));
    COwnedKernelHandle stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    SendMany job{window.Get(), stop.Get()};
    COwnedKernelHandle helper(::CreateThread(nullptr, 0, SendUntilStopped, &job, 0, nullptr));
    ASSERT_TRUE(helper);

    // A wait that began anew at every message would last as long as they come.
    const DWORD start = ::GetTickCount();
    const WaitOutcome outcome = WaitForProgram(process.Get(), kShortTimeoutMs);
    const DWORD elapsed = ::GetTickCount() - start;
    ::SetEvent(stop.Get());
    Join(helper);
    Stop(process);

    EXPECT_EQ(WaitOutcome::TimedOut, outcome);
    EXPECT_LT(elapsed, kSendingPeriodMs / 2);
    EXPECT_GT(sentHandled.load(), 2);
}

}  // namespace
