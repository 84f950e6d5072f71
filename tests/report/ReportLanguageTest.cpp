// One day's lines written by a Chinese and by an English station: each reason is one row of the
// report, in the supervisor's language, and the page speaks that language throughout.
#include "CjkText.h"
#include "ReportTestSupport.h"

#include "base/Language.h"
#include "base/Utf8.h"
#include "report/LedgerReport.h"
#include "report/ReportHtml.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

namespace {

using Op = LedgerOperation;

// Every failure twice, once from each station; the envelope's file and the code carried over.
const struct {
    const wchar_t *chinese, *english;
} kReasons[] = {
    {L"初始化后校验失败：名称不符", L"Check after initialisation failed: label differs"},
    {L"管理员PIN错误，批量已停止，请核对管理员PIN", L"Wrong SO PIN; batch stopped, please check the SO PIN"},
    {L"未知错误,code =0x000000E0", L"Unknown error, code =0x000000E0"},
    {L"清空后校验失败：令牌中仍有对象（记录未能写入）",
     L"Check after wipe failed: objects still on the token (not recorded in the ledger)"},
    {L"初始化后校验失败：用户PIN无法登录（PIN信封：pins/2026-12-06/S4-093000.der）",
     L"Check after initialisation failed: user PIN cannot log in (PIN envelope: "
     L"pins/2026-12-06/S4-093000.der)"},
};

void WriteBothStations(const ReportFolder& folder) {
    int serial = 0;
    for (const auto& reason : kReasons) {
        const std::wstring name = L"S" + std::to_wstring(++serial);
        folder.Write(Entry(Op::Pki, LedgerOutcome::Failure, name, reason.chinese), 9, "ST-ZH");
        folder.Write(Entry(Op::Pki, LedgerOutcome::Failure, name, reason.english), 10, "ST-EN");
    }
    // Neither language's: kept as written.
    folder.Write(Entry(Op::Wipe, LedgerOutcome::Failure, L"S9", L"module said no"), 11, "ST-EN");
}

std::map<std::string, std::uint64_t> ReasonsIn(const ReportFolder& folder, Language language) {
    SetShownLanguage(language);
    const ReportRead read = ReadLedgerReport({folder.ledger.string(), "2026-12-06", "2026-12-06", nullptr});
    SetShownLanguage(Language::kChinese);
    EXPECT_EQ("", read.error);
    EXPECT_EQ(11u, read.report.total.failure);
    return read.report.failureReasons;
}

TEST(ReportLanguage, EachReasonIsOneRowWhicheverLanguageItWasWrittenIn) {
    ReportFolder folder;
    WriteBothStations(folder);
    for (const Language language : {Language::kChinese, Language::kEnglish}) {
        std::map<std::string, std::uint64_t> expected{{"module said no", 1}};
        for (const auto& reason : kReasons)
            expected[WideToUtf8(language == Language::kChinese ? reason.chinese : reason.english)] = 2;
        EXPECT_EQ(expected, ReasonsIn(folder, language)) << LanguageCode(language);
    }
}

// The page's captions follow the language shown; in English no Chinese of the program's is left.
TEST(ReportLanguage, PageSpeaksTheSupervisorsLanguage) {
    ReportFolder folder;
    WriteBothStations(folder);
    SetShownLanguage(Language::kEnglish);
    const ReportRead read = ReadLedgerReport({folder.ledger.string(), "2026-12-06", "2026-12-06", nullptr});
    const std::string english = RenderReportHtml(read.report, "2026-12-07T08:00:00+08:00", "/ledger");
    SetShownLanguage(Language::kChinese);
    for (const char* caption : {"<html lang=\"en\">", "Vantor ledger report 2026-12-06", "Failure reasons",
                                "By station", "Initialise as PKI", "Check after wipe failed: objects still"})
        EXPECT_NE(std::string::npos, english.find(caption)) << caption;
    EXPECT_FALSE(HasCjk(english)) << english;

    // The console twin chooses by VANTOR_LANG.
    std::string output;
    for (const auto& [language, caption] :
         {std::pair<const char*, const char*>{"en", "Vantor ledger report"}, {"zh", "Vantor 记录报告"}}) {
        ASSERT_EQ(0, setenv("VANTOR_LANG", language, 1));
        ASSERT_EQ(0, folder.Cli("report --from 2026-12-06 --to 2026-12-06 --out page.html", output))
            << output;
        std::ifstream in(folder.root / "page.html", std::ios::binary);
        const std::string page{std::istreambuf_iterator<char>(in), {}};
        EXPECT_NE(std::string::npos, page.find(caption)) << language;
        EXPECT_EQ(std::string(language) == "zh", HasCjk(page)) << language;
    }
}

} // namespace
