// vantor-cli.exe under Wine: the console program finds the module beside itself, reads a
// token's data and tells a script that no token is present.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

// Runs vantor-cli.exe in `folder` with its output in a file; returns the exit code.
DWORD RunCli(const ScenarioFolder& folder, const std::wstring& args, std::string& output) {
    SetEnvironmentVariableW(L"VANTOR_LANG", L"zh"); // the texts below are Chinese
    SetEnvironmentVariableW(L"VANTOR_BENCH_FILE", folder.BenchFile().c_str());
    SetEnvironmentVariableW(L"VANTOR_LEDGER_DIR", (folder.Path() / L"ledger").c_str());
    static int runs = 0; // a file of its own for every run
    const fs::path outputFile = folder.Path() / (L"output" + std::to_wstring(++runs) + L".txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                              CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    const std::wstring program = (folder.Path() / L"vantor-cli.exe").wstring();
    std::wstring commandLine = L"\"" + program + L"\" " + args;
    PROCESS_INFORMATION process{};
    DWORD code = STILL_ACTIVE;
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       folder.Path().c_str(), &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 99);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(file);
    std::ifstream in(outputFile, std::ios::binary);
    output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return code;
}

// The console program binds the module from its own folder, reports in UTF-8 to a file and
// leaves the token it showed in the ledger.
TEST(CliSmoke, InfoReadsTheTokenAndNoTokenEndsWithThree) {
    ScenarioFolder folder(L"cli_smoke");
    folder.CopyIn(BinFolder() / L"vantor-cli.exe");
    folder.CopyIn(BinFolder() / L"orbelcsp11.dll");
    folder.Bench("reset");
    folder.Bench("insert 3 serial=01A2000000003C4D");
    std::string output;
    EXPECT_EQ(RunCli(folder, L"info", output), 0u);
    EXPECT_NE(output.find("硬件序列号：01A2000000003C4D"), std::string::npos) << output;
    EXPECT_FALSE(fs::is_empty(folder.Path() / L"ledger"));

    folder.Bench("remove 3");
    EXPECT_EQ(RunCli(folder, L"info --json", output), 3u);
    EXPECT_NE(output.find("\"message\":\"请插入USBKey\""), std::string::npos) << output;
}

// The station on Windows: each token's attempt in a child process of its own in a job object;
// a hung one killed after --limit and recorded as timed out while the others are wiped.
TEST(CliSmoke, StationWipesEveryTokenAndAbandonsAHungOne) {
    ScenarioFolder folder(L"cli_smoke_station");
    folder.CopyIn(BinFolder() / L"vantor-cli.exe");
    folder.CopyIn(BinFolder() / L"orbelcsp11.dll");
    folder.Bench("reset");
    for (int slot = 0; slot < 3; ++slot)
        folder.Bench("insert " + std::to_string(slot) + " so=Kw5Zp9 serial=00000000000000D" +
                     std::to_string(slot));
    folder.Bench("hang E_InitBlankToken slot=2");
    SetEnvironmentVariableW(L"SO", L"Kw5Zp9");
    std::string output;
    EXPECT_EQ(RunCli(folder, L"station wipe --count 3 --limit 2 --json --so-pin-env SO", output), 1u);
    std::size_t lines = 0;
    for (std::size_t at = output.find("\"mode\":\"station\""); at != std::string::npos;
         at = output.find("\"mode\":\"station\"", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3u) << output;
    EXPECT_NE(output.find(
                  "\"serial\":\"00000000000000D2\",\"cos_version\":\"\",\"type_before\":\"\",\"label\":\"\","
                  "\"outcome\":\"failure\",\"rv\":\"0x00000006\",\"message\":\"操作超时\""),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("总数：3 成功：2 失败：1"), std::string::npos) << output;
}

} // namespace
