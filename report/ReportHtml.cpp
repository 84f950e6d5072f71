#include "report/ReportHtml.h"

#include "base/HtmlText.h"
#include "base/Language.h"
#include "ledger/LedgerLine.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Lists longer than this show their start and how many more there are.
constexpr std::size_t kListMax = 500;

const char kStyle[] = R"(<style>
body{font-family:"Noto Sans CJK SC","WenQuanYi Micro Hei","Microsoft YaHei","SimSun",sans-serif;margin:24px;color:#222;font-size:14px}
h1{font-size:22px;margin:0 0 4px}h2{font-size:17px;border-bottom:2px solid #1f5fbf;padding-bottom:3px;margin:22px 0 8px}
.meta{color:#555;margin:0 0 8px}table{border-collapse:collapse;margin:4px 0 8px}
th,td{border:1px solid #bbb;padding:3px 10px;text-align:left}th{background:#eef2fa}
td.n,th.n{text-align:right;font-variant-numeric:tabular-nums}.ok{color:#1b6e20}.bad{color:#c62828;font-weight:bold}
.chain{font-family:monospace;word-break:break-all}.none{color:#777}section{break-inside:avoid}
ul.list{columns:4;margin:4px 0;padding-left:20px;font-family:monospace}
@page{size:A4;margin:14mm}
@media print{body{margin:0;font-size:11px}*{-webkit-print-color-adjust:exact;print-color-adjust:exact}tr{break-inside:avoid}}
</style>)";

std::string Cell(std::uint64_t number, const std::string& id = {}) {
    return "<td class=\"n\"" + (id.empty() ? std::string() : " id=\"" + id + "\"") + ">" +
           std::to_string(number) + "</td>";
}

std::string OperationName(const std::string& word) {
    const std::optional<LedgerOperation> operation = LedgerOperationOfWord(word);
    if (!operation)
        return word;
    switch (*operation) {
    case LedgerOperation::Wipe:
        return Localized("初始化为空锁", "Wipe to blank");
    case LedgerOperation::Pki:
        return Localized("初始化为PKI锁", "Initialise as PKI");
    case LedgerOperation::Info:
        break;
    }
    return Localized("获取信息", "Token information");
}

// The head of a table of tallies after its first column.
std::string TallyHeads() {
    return Localized(
        "<th class=\"n\">成功</th><th class=\"n\">失败</th><th class=\"n\">合计</th></tr>\n",
        "<th class=\"n\">Succeeded</th><th class=\"n\">Failed</th><th class=\"n\">Total</th></tr>\n");
}

// A name from the ledger as shown: an empty one, and the row of all names past the limit, named.
std::string ShownName(const std::string& name) {
    if (name.empty())
        return Localized("（空）", "(empty)");
    return name == kReportOtherName ? Localized("（其他）", "(other)") : name;
}

std::string TallyRow(const std::string& name, const Tally& tally, const std::string& id) {
    return "<tr><td>" + HtmlText(name) + "</td>" + Cell(tally.success, id + "-success") +
           Cell(tally.failure, id + "-failure") + Cell(tally.Total(), id + "-total") + "</tr>\n";
}

std::string TallyTable(const std::string& first, const std::map<std::string, Tally>& rows,
                       const std::string& id) {
    std::string html = "<table><tr><th>" + first + "</th>" + TallyHeads();
    std::size_t index = 0;
    for (const auto& [name, tally] : rows)
        html += TallyRow(ShownName(name), tally, id + "-" + std::to_string(index++));
    return html + "</table>\n";
}

std::string None() {
    return Localized("<p class=\"none\">无</p>\n", "<p class=\"none\">None</p>\n");
}

std::string List(const std::vector<std::string>& items, const std::string& id) {
    if (items.empty())
        return None();
    std::string html = "<ul class=\"list\" id=\"" + id + "\">";
    for (std::size_t i = 0; i < items.size() && i < kListMax; ++i)
        html += "<li>" + HtmlText(items[i]) + "</li>";
    html += "</ul>\n";
    if (items.size() > kListMax)
        html += Localized("<p>……另有 ", "<p>… and ") + std::to_string(items.size() - kListMax) +
                Localized(" 个</p>\n", " more</p>\n");
    return html;
}

// Stacked bars per hour: successes below, failures above.
std::string HourChart(const std::array<Tally, 24>& hours) {
    std::uint64_t top = 1;
    for (const Tally& hour : hours)
        top = std::max(top, hour.Total());
    const int left = 44, bottom = 230, height = 200, step = 28, bar = 20;
    auto y = [&](std::uint64_t value) {
        return static_cast<double>(height) * static_cast<double>(value) / top;
    };
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"730\" height=\"270\" role=\"img\" "
                      "aria-label=\"" +
                      std::string(Localized("每小时处理的令牌", "Tokens handled per hour")) +
                      "\" font-size=\"11\">\n";
    for (std::uint64_t tick : {std::uint64_t{0}, top / 2, top}) {
        const double at = bottom - y(tick);
        svg += "<line x1=\"" + std::to_string(left) + "\" x2=\"720\" y1=\"" + std::to_string(at) +
               "\" y2=\"" + std::to_string(at) + "\" stroke=\"#ddd\"/><text x=\"" + std::to_string(left - 6) +
               "\" y=\"" + std::to_string(at + 4) + "\" text-anchor=\"end\">" + std::to_string(tick) +
               "</text>\n";
    }
    for (std::size_t hour = 0; hour < hours.size(); ++hour) {
        const int x = left + 6 + static_cast<int>(hour) * step;
        const double ok = y(hours[hour].success), bad = y(hours[hour].failure);
        svg += "<g><title>" + std::to_string(hour) + Localized(" 时：成功 ", ":00: succeeded ") +
               std::to_string(hours[hour].success) + Localized("，失败 ", ", failed ") +
               std::to_string(hours[hour].failure) + "</title>";
        svg += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(bottom - ok) + "\" width=\"" +
               std::to_string(bar) + "\" height=\"" + std::to_string(ok) + "\" fill=\"#1f5fbf\"/>";
        svg += "<rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(bottom - ok - bad) +
               "\" width=\"" + std::to_string(bar) + "\" height=\"" + std::to_string(bad) +
               "\" fill=\"#c62828\"/>";
        if (hours[hour].Total() > 0)
            svg += "<text x=\"" + std::to_string(x + bar / 2) + "\" y=\"" +
                   std::to_string(bottom - ok - bad - 4) + "\" text-anchor=\"middle\">" +
                   std::to_string(hours[hour].Total()) + "</text>";
        svg += "<text x=\"" + std::to_string(x + bar / 2) + "\" y=\"" + std::to_string(bottom + 16) +
               "\" text-anchor=\"middle\">" + std::to_string(hour) + "</text></g>\n";
    }
    // The legend: the English words are longer, so they start further left.
    svg += Localized("<rect x=\"560\" y=\"250\" width=\"10\" height=\"10\" fill=\"#1f5fbf\"/><text x=\"574\" "
                     "y=\"259\">成功"
                     "</text><rect x=\"620\" y=\"250\" width=\"10\" height=\"10\" fill=\"#c62828\"/><text "
                     "x=\"634\" y=\"259\">失败</text><text x=\"",
                     "<rect x=\"530\" y=\"250\" width=\"10\" height=\"10\" fill=\"#1f5fbf\"/><text x=\"544\" "
                     "y=\"259\">Succeeded"
                     "</text><rect x=\"620\" y=\"250\" width=\"10\" height=\"10\" fill=\"#c62828\"/><text "
                     "x=\"634\" y=\"259\">Failed</text><text x=\"") +
           std::to_string(left) + "\" y=\"262\">" + Localized("时", "Hour") + "</text>\n";
    return svg + "</svg>\n";
}

std::string SealText(const LedgerVerdict& verdict) {
    switch (verdict.seal) {
    case LedgerSeal::kIntact:
        return Localized("<span class=\"ok\">完好</span>", "<span class=\"ok\">Intact</span>");
    case LedgerSeal::kNotSealed:
        return Localized("未封存（早先格式，无链值）", "Not sealed (earlier format, no chain values)");
    case LedgerSeal::kBroken:
        return Localized("<span class=\"bad\">已损坏：第 ", "<span class=\"bad\">Damaged: line ") +
               std::to_string(verdict.brokenLine) +
               (verdict.brokenWithoutValue
                    ? Localized(" 行没有链值（写入中断或被手工添加）",
                                " has no chain value (writing interrupted, or added by hand)")
                    : Localized(" 行起链值不符", " onwards: the chain values do not match")) +
               "</span>";
    case LedgerSeal::kUnreadable:
        return Localized("<span class=\"bad\">无法读取</span>", "<span class=\"bad\">Cannot be read</span>");
    case LedgerSeal::kEmpty:
    case LedgerSeal::kMalformed:
        break;
    }
    return Localized("<span class=\"bad\">不是记录文件（未计入）</span>",
                     "<span class=\"bad\">Not a ledger file (not counted)</span>");
}

std::string FilesSection(const LedgerReport& report) {
    std::string html =
        Localized("<section><h2>记录文件与封存</h2>\n<table><tr><th>文件</th><th class=\"n\">行数</th>"
                  "<th>状态</th><th>最后的链值</th><th>无法识别的行</th></tr>\n",
                  "<section><h2>Ledger files and seals</h2>\n<table><tr><th>File</th><th "
                  "class=\"n\">Lines</th><th>State</th><th>Last chain value</th><th>Unrecognised "
                  "lines</th></tr>\n");
    for (const ReportedFile& file : report.files) {
        std::string damaged;
        for (std::size_t i = 0; i < file.damagedLines.size(); ++i)
            damaged += (i ? Localized("、", ", ") : Localized("第 ", "line ")) +
                       std::to_string(file.damagedLines[i]);
        if (!damaged.empty())
            damaged += Localized(" 行", "") +
                       (file.damagedCount > file.damagedLines.size()
                            ? Localized("等 ", " and others, ") + std::to_string(file.damagedCount) +
                                  Localized(" 行", " in all")
                            : std::string());
        html += "<tr><td>" + HtmlText(file.name) + "</td>" + Cell(file.verdict.lines) + "<td>" +
                SealText(file.verdict) + "</td><td class=\"chain\">" + HtmlText(file.verdict.lastChain) +
                "</td><td>" + damaged + "</td></tr>\n";
    }
    html += "</table>\n";
    const ReportedFile& last = report.files.back();
    html += "<p>" + HtmlText(last.day) +
            Localized(" 最后的链值（请另行保存，用以核对此后文件未被截短）：",
                      ": the last chain value (keep it apart, to check later that no file was cut short):") +
            "<br><span class=\"chain\" id=\"last-chain\">" +
            (last.verdict.lastChain.empty() ? std::string(Localized("（无）", "(none)"))
                                            : HtmlText(last.verdict.lastChain)) +
            "</span></p></section>\n";
    return html;
}

// Files whose chain is broken, named before any number: what they hold is counted, and not to
// be taken for a clean record.
std::string DamageBanner(const LedgerReport& report) {
    std::string names;
    for (const ReportedFile& file : report.files)
        if (file.verdict.seal == LedgerSeal::kBroken)
            names += (names.empty() ? "" : Localized("、", ", ")) + HtmlText(file.name) +
                     Localized("（第 ", " (from line ") + std::to_string(file.verdict.brokenLine) +
                     Localized(" 行起）", ")");
    if (names.empty())
        return {};
    return Localized("<p class=\"bad\" id=\"damaged\">注意：", "<p class=\"bad\" id=\"damaged\">Note: ") +
           std::to_string(DamagedFileCount(report)) +
           Localized(" 个记录文件已损坏：", " ledger file(s) damaged: ") + names +
           Localized("。下面的计数包括其中的行，这些行不能当作可信的记录。</p>\n",
                     ". The counts below include their lines, which cannot be taken for a trustworthy "
                     "record.</p>\n");
}

std::string StockSection(const StockProgress& stock) {
    std::string html =
        Localized("<section><h2>清单进度</h2>\n<p>清单中 <b id=\"stock-expected\">",
                  "<section><h2>Stock list progress</h2>\n<p>On the list: <b id=\"stock-expected\">") +
        std::to_string(stock.expected) +
        Localized("</b> 支，已完成 <b id=\"stock-done\">", "</b> tokens; done: <b id=\"stock-done\">") +
        std::to_string(stock.done.size()) +
        Localized("</b> 支，未完成 <b id=\"stock-missing\">", "</b>; not done: <b id=\"stock-missing\">") +
        std::to_string(stock.missing.size()) +
        Localized("</b> 支；不在清单中却已处理 <b id=\"stock-strangers\">",
                  "</b>; handled but not on the list: <b id=\"stock-strangers\">") +
        std::to_string(stock.strangerCount) + Localized("</b> 支。</p>\n", "</b>.</p>\n");
    html += Localized("<h3>未完成</h3>\n", "<h3>Not done</h3>\n") + List(stock.missing, "stock-missing-list");
    html += Localized("<h3>不在清单中</h3>\n", "<h3>Not on the list</h3>\n") +
            List(stock.strangers, "stock-strangers-list");
    return html + "</section>\n";
}

} // namespace

std::string RenderReportHtml(const LedgerReport& report, const std::string& generated,
                             const std::string& folder) {
    const std::string span =
        report.from == report.to ? report.from : report.from + Localized(" 至 ", " to ") + report.to;
    const std::string title = Localized("Vantor 记录报告 ", "Vantor ledger report ") + span;
    std::string html = std::string("<!DOCTYPE html>\n<html lang=\"") + Localized("zh-CN", "en") +
                       "\"><head><meta charset=\"utf-8\"><title>" + title + "</title>\n" + kStyle +
                       "</head><body>\n";
    html += "<h1>" + title + "</h1>\n<p class=\"meta\">" + Localized("生成于 ", "Made ") +
            HtmlText(generated) + Localized("；记录文件夹：", "; ledger folder: ") + HtmlText(folder) +
            "</p>\n";

    html += DamageBanner(report);
    html += Localized("<section><h2>总计</h2>\n<table><tr><th>操作</th>",
                      "<section><h2>Totals</h2>\n<table><tr><th>Operation</th>") +
            TallyHeads();
    for (const LedgerOperation operation :
         {LedgerOperation::Wipe, LedgerOperation::Pki, LedgerOperation::Info}) {
        const std::string word = LedgerOperationWord(operation);
        const auto found = report.operations.find(word);
        html += TallyRow(OperationName(word), found == report.operations.end() ? Tally{} : found->second,
                         "op-" + word);
    }
    html += TallyRow(Localized("全部", "All"), report.total, "op-all") + "</table></section>\n";

    html += Localized("<section><h2>每小时处理的令牌</h2>\n", "<section><h2>Tokens handled per hour</h2>\n") +
            HourChart(report.hours) + "</section>\n";

    std::vector<std::pair<std::uint64_t, std::string>> reasons;
    for (const auto& [reason, count] : report.failureReasons)
        reasons.emplace_back(count, reason);
    std::sort(reasons.begin(), reasons.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    html += Localized("<section><h2>失败原因</h2>\n", "<section><h2>Failure reasons</h2>\n");
    if (reasons.empty())
        html += None();
    else {
        html += Localized("<table><tr><th>原因（显示的状态）</th><th class=\"n\">次数</th></tr>\n",
                          "<table><tr><th>Reason (status shown)</th><th class=\"n\">Count</th></tr>\n");
        for (std::size_t i = 0; i < reasons.size(); ++i)
            html += "<tr><td>" + HtmlText(ShownName(reasons[i].second)) + "</td>" +
                    Cell(reasons[i].first, "reason-" + std::to_string(i)) + "</tr>\n";
        html += "</table>\n";
    }
    html +=
        Localized("</section>\n<section><h2>按工位</h2>\n", "</section>\n<section><h2>By station</h2>\n") +
        TallyTable(Localized("工位", "Station"), report.stations, "station") +
        Localized("</section>\n<section><h2>按操作员</h2>\n", "</section>\n<section><h2>By operator</h2>\n") +
        TallyTable(Localized("操作员", "Operator"), report.users, "user") + "</section>\n";

    html += Localized("<section><h2>重复处理</h2>\n", "<section><h2>Handled more than once</h2>\n");
    if (report.duplicates.empty())
        html += None();
    else {
        html += Localized("<p>同一天同一操作成功多次的令牌：<b id=\"duplicates\">",
                          "<p>Tokens that succeeded more than once in a day in one operation: <b "
                          "id=\"duplicates\">") +
                std::to_string(report.duplicates.size()) + Localized("</b> 支", "</b>") +
                (report.duplicatesCut
                     ? Localized("（太多，只计前 ", " (too many: only the first ") +
                           std::to_string(report.duplicates.size()) + Localized(" 支）", " are counted)")
                     : std::string()) +
                Localized("</p>\n<table><tr><th>日期</th><th>操作</th><th>序列号</th><th "
                          "class=\"n\">成功次数</th></tr>\n",
                          "</p>\n<table><tr><th>Date</th><th>Operation</th><th>Serial number</th><th "
                          "class=\"n\">Successes</th></tr>\n");
        for (std::size_t i = 0; i < report.duplicates.size() && i < kListMax; ++i) {
            const RepeatedToken& d = report.duplicates[i];
            html += "<tr><td>" + d.day + "</td><td>" + HtmlText(OperationName(d.operation)) + "</td><td>" +
                    HtmlText(d.serial) + "</td>" + Cell(d.successes) + "</tr>\n";
        }
        html += "</table>\n";
    }
    html += "</section>\n";
    if (report.hasStock)
        html += StockSection(report.stock);
    return html + FilesSection(report) + "</body></html>\n";
}
