#include "report/ReportHtml.h"

#include "base/HtmlText.h"
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
        return "初始化为空锁";
    case LedgerOperation::Pki:
        return "初始化为PKI锁";
    case LedgerOperation::Info:
        break;
    }
    return "获取信息";
}

std::string TallyRow(const std::string& name, const Tally& tally, const std::string& id) {
    return "<tr><td>" + HtmlText(name) + "</td>" + Cell(tally.success, id + "-success") +
           Cell(tally.failure, id + "-failure") + Cell(tally.Total(), id + "-total") + "</tr>\n";
}

std::string TallyTable(const std::string& first, const std::map<std::string, Tally>& rows,
                       const std::string& id) {
    std::string html = "<table><tr><th>" + first +
                       "</th><th class=\"n\">成功</th><th class=\"n\">失败</th>"
                       "<th class=\"n\">合计</th></tr>\n";
    std::size_t index = 0;
    for (const auto& [name, tally] : rows)
        html += TallyRow(name.empty() ? "（空）" : name, tally, id + "-" + std::to_string(index++));
    return html + "</table>\n";
}

std::string List(const std::vector<std::string>& items, const std::string& id) {
    if (items.empty())
        return "<p class=\"none\">无</p>\n";
    std::string html = "<ul class=\"list\" id=\"" + id + "\">";
    for (std::size_t i = 0; i < items.size() && i < kListMax; ++i)
        html += "<li>" + HtmlText(items[i]) + "</li>";
    html += "</ul>\n";
    if (items.size() > kListMax)
        html += "<p>……另有 " + std::to_string(items.size() - kListMax) + " 个</p>\n";
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
                      "aria-label=\"每小时处理的令牌\" font-size=\"11\">\n";
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
        svg += "<g><title>" + std::to_string(hour) + " 时：成功 " + std::to_string(hours[hour].success) +
               "，失败 " + std::to_string(hours[hour].failure) + "</title>";
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
    svg += "<rect x=\"560\" y=\"250\" width=\"10\" height=\"10\" fill=\"#1f5fbf\"/><text x=\"574\" "
           "y=\"259\">成功"
           "</text><rect x=\"620\" y=\"250\" width=\"10\" height=\"10\" fill=\"#c62828\"/><text x=\"634\" "
           "y=\"259\">失败</text><text x=\"" +
           std::to_string(left) + "\" y=\"262\">时</text>\n";
    return svg + "</svg>\n";
}

std::string SealText(const LedgerVerdict& verdict) {
    switch (verdict.seal) {
    case LedgerSeal::kIntact:
        return "<span class=\"ok\">完好</span>";
    case LedgerSeal::kNotSealed:
        return "未封存（早先格式，无链值）";
    case LedgerSeal::kBroken:
        return "<span class=\"bad\">已损坏：第 " + std::to_string(verdict.brokenLine) +
               (verdict.brokenWithoutValue ? " 行没有链值（写入中断或被手工添加）" : " 行起链值不符") +
               "</span>";
    case LedgerSeal::kUnreadable:
        return "<span class=\"bad\">无法读取</span>";
    case LedgerSeal::kEmpty:
    case LedgerSeal::kMalformed:
        break;
    }
    return "<span class=\"bad\">不是记录文件（未计入）</span>";
}

std::string FilesSection(const LedgerReport& report) {
    std::string html = "<section><h2>记录文件与封存</h2>\n<table><tr><th>文件</th><th class=\"n\">行数</th>"
                       "<th>状态</th><th>最后的链值</th><th>无法识别的行</th></tr>\n";
    for (const ReportedFile& file : report.files) {
        std::string damaged;
        for (std::size_t i = 0; i < file.damagedLines.size(); ++i)
            damaged += (i ? "、" : "第 ") + std::to_string(file.damagedLines[i]);
        if (!damaged.empty())
            damaged += " 行" + (file.damagedCount > file.damagedLines.size()
                                    ? "等 " + std::to_string(file.damagedCount) + " 行"
                                    : std::string());
        html += "<tr><td>" + HtmlText(file.name) + "</td>" + Cell(file.verdict.lines) + "<td>" +
                SealText(file.verdict) + "</td><td class=\"chain\">" + HtmlText(file.verdict.lastChain) +
                "</td><td>" + damaged + "</td></tr>\n";
    }
    html += "</table>\n";
    const ReportedFile& last = report.files.back();
    html += "<p>" + HtmlText(last.day) +
            " 最后的链值（请另行保存，用以核对此后文件未被截短）：<br><span "
            "class=\"chain\" id=\"last-chain\">" +
            (last.verdict.lastChain.empty() ? "（无）" : HtmlText(last.verdict.lastChain)) +
            "</span></p></section>\n";
    return html;
}

// Files whose chain is broken, named before any number: what they hold is counted, and not to
// be taken for a clean record.
std::string DamageBanner(const LedgerReport& report) {
    std::string names;
    for (const ReportedFile& file : report.files)
        if (file.verdict.seal == LedgerSeal::kBroken)
            names += (names.empty() ? "" : "、") + HtmlText(file.name) + "（第 " +
                     std::to_string(file.verdict.brokenLine) + " 行起）";
    if (names.empty())
        return {};
    return "<p class=\"bad\" id=\"damaged\">注意：" + std::to_string(DamagedFileCount(report)) +
           " 个记录文件已损坏：" + names + "。下面的计数包括其中的行，这些行不能当作可信的记录。</p>\n";
}

std::string StockSection(const StockProgress& stock) {
    std::string html = "<section><h2>清单进度</h2>\n<p>清单中 <b id=\"stock-expected\">" +
                       std::to_string(stock.expected) + "</b> 支，已完成 <b id=\"stock-done\">" +
                       std::to_string(stock.done.size()) + "</b> 支，未完成 <b id=\"stock-missing\">" +
                       std::to_string(stock.missing.size()) +
                       "</b> 支；不在清单中却已处理 <b id=\"stock-strangers\">" +
                       std::to_string(stock.strangerCount) + "</b> 支。</p>\n";
    html += "<h3>未完成</h3>\n" + List(stock.missing, "stock-missing-list");
    html += "<h3>不在清单中</h3>\n" + List(stock.strangers, "stock-strangers-list");
    return html + "</section>\n";
}

} // namespace

std::string RenderReportHtml(const LedgerReport& report, const std::string& generated,
                             const std::string& folder) {
    const std::string span = report.from == report.to ? report.from : report.from + " 至 " + report.to;
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>Vantor 记录报告 " + span +
        "</title>\n" + kStyle + "</head><body>\n";
    html += "<h1>Vantor 记录报告 " + span + "</h1>\n<p class=\"meta\">生成于 " + HtmlText(generated) +
            "；记录文件夹：" + HtmlText(folder) + "</p>\n";

    html += DamageBanner(report);
    html +=
        "<section><h2>总计</h2>\n<table><tr><th>操作</th><th class=\"n\">成功</th><th class=\"n\">失败</th>"
        "<th class=\"n\">合计</th></tr>\n";
    for (const LedgerOperation operation :
         {LedgerOperation::Wipe, LedgerOperation::Pki, LedgerOperation::Info}) {
        const std::string word = LedgerOperationWord(operation);
        const auto found = report.operations.find(word);
        html += TallyRow(OperationName(word), found == report.operations.end() ? Tally{} : found->second,
                         "op-" + word);
    }
    html += TallyRow("全部", report.total, "op-all") + "</table></section>\n";

    html += "<section><h2>每小时处理的令牌</h2>\n" + HourChart(report.hours) + "</section>\n";

    std::vector<std::pair<std::uint64_t, std::string>> reasons;
    for (const auto& [reason, count] : report.failureReasons)
        reasons.emplace_back(count, reason);
    std::sort(reasons.begin(), reasons.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    html += "<section><h2>失败原因</h2>\n";
    if (reasons.empty())
        html += "<p class=\"none\">无</p>\n";
    else {
        html += "<table><tr><th>原因（显示的状态）</th><th class=\"n\">次数</th></tr>\n";
        for (std::size_t i = 0; i < reasons.size(); ++i)
            html += "<tr><td>" + HtmlText(reasons[i].second.empty() ? "（空）" : reasons[i].second) +
                    "</td>" + Cell(reasons[i].first, "reason-" + std::to_string(i)) + "</tr>\n";
        html += "</table>\n";
    }
    html += "</section>\n<section><h2>按工位</h2>\n" + TallyTable("工位", report.stations, "station") +
            "</section>\n<section><h2>按操作员</h2>\n" + TallyTable("操作员", report.users, "user") +
            "</section>\n";

    html += "<section><h2>重复处理</h2>\n";
    if (report.duplicates.empty())
        html += "<p class=\"none\">无</p>\n";
    else {
        html += "<p>同一天同一操作成功多次的令牌：<b id=\"duplicates\">" +
                std::to_string(report.duplicates.size()) + "</b> 支" +
                (report.duplicatesCut ? "（太多，只计前 " + std::to_string(report.duplicates.size()) + " 支）"
                                      : std::string()) +
                "</p>\n<table><tr><th>日期</th><th>操作</th><th>序列号</th><th "
                "class=\"n\">成功次数</th></tr>\n";
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
