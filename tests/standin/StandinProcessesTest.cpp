// Several processes sharing one bench file and one journal file, as a station runs one process
// per token: each sees what the others' calls did to the tokens, a call held on one token
// holds no other process, and no journal line is lost or mixed.
#include "StandinTest.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// One run of standin_bench_user (BenchUser.cpp) with its own bench and journal files.
class BenchUser {
  public:
    BenchUser(const std::string& job, const fs::path& bench, const fs::path& journal) {
        const std::string command = "VANTOR_BENCH_FILE='" + bench.string() + "' VANTOR_JOURNAL_FILE='" +
                                    journal.string() + "' '" + Program() + "' " + job;
        m_pipe = popen(command.c_str(), "r");
    }
    ~BenchUser() { Finish(); }
    BenchUser(const BenchUser&) = delete;
    BenchUser& operator=(const BenchUser&) = delete;

    // The next output line; empty at the end.
    std::string NextLine() {
        char line[512];
        if (m_pipe == nullptr || std::fgets(line, sizeof line, m_pipe) == nullptr)
            return std::string();
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        return text;
    }
    // Waits for the end; the exit code, -1 when it did not exit normally.
    int Finish() {
        if (m_pipe == nullptr)
            return m_code;
        const int status = pclose(m_pipe);
        m_pipe = nullptr;
        m_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_code;
    }

  private:
    static std::string Program() {
        const std::wstring folder = ProgramFolder();
        return std::string(folder.begin(), folder.end()) + "/standin_bench_user";
    }
    FILE* m_pipe = nullptr;
    int m_code = -1;
};

std::vector<std::string> Lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

void Append(const fs::path& file, const std::string& lines) {
    std::ofstream(file, std::ios::app) << lines;
}

class StandinProcesses : public StandinTest {
  protected:
    // The test program's own module reads its bench file from here: set before its first call.
    static void SetUpTestSuite() {
        Folder() = fs::temp_directory_path() / ("vantor-standin-processes-" + std::to_string(getpid()));
        fs::remove_all(Folder());
        fs::create_directories(Folder());
        setenv("VANTOR_BENCH_FILE", (Folder() / "own-bench.txt").c_str(), 1);
    }
    static void TearDownTestSuite() { fs::remove_all(Folder()); }
    static fs::path& Folder() {
        static fs::path folder;
        return folder;
    }
};

// Guards against processes sharing a bench file each keeping their own tokens: a child's PKI
// initialisation (PINs, limits, label) reaches this process, this process's failed login
// reaches the next child, and a token with another serial in the slot is left alone.
TEST_F(StandinProcesses, EveryProcessSeesWhatTheOthersDidToATokenWithThatSerial) {
    const fs::path bench = Folder() / "own-bench.txt";
    Append(bench, "insert 0\ninsert 1\n");
    Init();
    Do("insert 1 serial=00000000000000AA label=Mine"); // this process alone has another token there
    const fs::path journal = Folder() / "shared-journal.txt";
    BenchUser first("init 0", bench, journal);
    EXPECT_EQ("rv=0", first.NextLine());
    EXPECT_EQ(0, first.Finish());
    BenchUser second("init 1", bench, journal);
    EXPECT_EQ("rv=0", second.NextLine());
    EXPECT_EQ(0, second.Finish());

    auto token0 = ParseFields(standin.Query("token 0"));
    EXPECT_EQ("Child", token0["label"]);
    EXPECT_EQ("5", token0["so-max"]);
    EXPECT_EQ("7", token0["user-left"]);
    EXPECT_EQ("Mine", ParseFields(standin.Query("token 1"))["label"]);
    CK_SESSION_HANDLE session = 0;
    ASSERT_EQ(CKR_OK, f->C_OpenSession(0, CKF_SERIAL_SESSION | CKF_RW_SESSION, nullptr, nullptr, &session));
    CK_UTF8CHAR wrong[] = "tamsel";
    EXPECT_EQ(CKR_PIN_INCORRECT, f->C_Login(session, CKU_SO, wrong, 6)); // the child changed it
    CK_UTF8CHAR user[] = "7 77";
    EXPECT_EQ(CKR_OK, f->C_Login(session, CKU_USER, user, 4));

    BenchUser reader("token 0", bench, journal);
    const std::string seen = reader.NextLine();
    EXPECT_EQ(0, reader.Finish());
    EXPECT_EQ(standin.Query("token 0"), seen);
    EXPECT_EQ("4", ParseFields(seen)["so-left"]);
    for (const std::string& line : Lines(journal))
        EXPECT_EQ(std::string::npos, line.find("7 77")) << line; // PINs go to the bench file only
}

// Guards against a hang on one token holding up another process's token, and against a held
// call that the bench file cannot release: the other token's call returns (its journal line is
// there) while the held one has not, and "clear-faults" appended to the file lets it go.
TEST_F(StandinProcesses, AHangHoldsOnlyItsOwnToken) {
    const fs::path bench = Folder() / "hang-bench.txt";
    const fs::path journal = Folder() / "hang-journal.txt";
    Append(bench, "insert 0\ninsert 1\nhang E_InitPkiToken slot=0\n");
    BenchUser hung("init 0", bench, journal);
    ASSERT_EQ("held", hung.NextLine());
    BenchUser other("init 1", bench, journal);
    EXPECT_EQ("rv=0", other.NextLine());
    EXPECT_EQ(0, other.Finish());
    auto initialisations = CallsOf(Lines(journal), "E_InitPkiToken");
    ASSERT_EQ(1u, initialisations.size());
    EXPECT_EQ(0u, initialisations[0].find("E_InitPkiToken slot=1 ")) << initialisations[0];

    Append(bench, "clear-faults\n");
    EXPECT_EQ("rv=0", hung.NextLine());
    EXPECT_EQ(0, hung.Finish());
    EXPECT_EQ(2u, CallsOf(Lines(journal), "E_InitPkiToken").size());
}

// Guards against journal lines lost or mixed when several processes append to one file at once.
TEST_F(StandinProcesses, ConcurrentProcessesKeepEveryJournalLineWhole) {
    const fs::path bench = Folder() / "calls-bench.txt";
    const fs::path journal = Folder() / "calls-journal.txt";
    Append(bench, "insert 0\n");
    constexpr int kProcesses = 4;
    constexpr int kCalls = 400;
    std::vector<std::unique_ptr<BenchUser>> users;
    for (int i = 0; i < kProcesses; ++i)
        users.push_back(std::make_unique<BenchUser>("calls " + std::to_string(kCalls), bench, journal));
    for (auto& user : users)
        EXPECT_EQ(0, user->Finish());
    const std::vector<std::string> lines = Lines(journal);
    EXPECT_EQ(static_cast<std::size_t>(kProcesses * kCalls), CallsOf(lines, "C_GetSlotList").size());
    for (const std::string& line : lines) {
        const auto fields = ParseFields(line.substr(line.find(' ') + 1));
        EXPECT_TRUE((line.rfind("C_", 0) == 0 || line.rfind("E_", 0) == 0) && fields.count("rv") == 1)
            << line;
    }
}

} // namespace
