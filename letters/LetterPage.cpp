#include "letters/LetterPage.h"

#include "base/HtmlText.h"
#include "base/Language.h"
#include "base/ShownText.h"
#include "base/Utf8.h"

#include <cstdio>

namespace {

// The page's language and title; the style after them.
std::string Head() {
    return std::string("<!DOCTYPE html>\n<html lang=\"") + Localized("zh-CN", "en") +
           "\"><head><meta charset=\"utf-8\"><title>" + Localized("用户PIN密码函", "User PIN letter") +
           "</title>\n";
}

const char kStyle[] = R"(<style>
@page{size:A4;margin:25mm 20mm}
body{font-family:"Noto Sans CJK SC","Microsoft YaHei","SimSun",sans-serif;color:#000;margin:0;font-size:14pt}
section.next{page-break-after:always;break-after:page}
h1{font-size:22pt;text-align:center;margin:0 0 18mm}
table{border-collapse:collapse;width:100%;margin:8mm 0}
th,td{border:1px solid #444;padding:3mm 4mm;text-align:left;vertical-align:top;word-break:break-all}
th{width:30%;background:#eee;font-weight:normal}
td.pin{font-family:monospace;font-size:20pt;letter-spacing:2px}
p.note{margin-top:12mm;line-height:1.6}
@media print{*{-webkit-print-color-adjust:exact;print-color-adjust:exact}}
</style></head><body>
)";

void Append(PageBytes& page, const std::string& text) {
    page.insert(page.end(), text.begin(), text.end());
}

// A markup character as its entity; anything else as it is.
void AppendEscapedChar(PageBytes& page, char c) {
    const char* entity = HtmlEntity(c);
    if (entity != nullptr)
        Append(page, entity);
    else
        page.push_back(c);
}

// Text from an envelope: control characters and direction marks as their escapes, then markup.
void AppendText(PageBytes& page, const std::string& raw) {
    Append(page, HtmlText(raw));
}

// The PIN the same way, without its bytes passing through any storage that is not wiped.
void AppendSecret(PageBytes& page, const SecretText& secret) {
    const SecureBytes utf8 = SecretToUtf8(secret);
    const char* bytes = reinterpret_cast<const char*>(utf8.data());
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t code = 0;
        std::size_t length = Utf8SequenceLength(bytes + at, utf8.size() - at, code);
        if (length != 0 && !IsControlCharacter(code) && !IsDirectionMark(code)) {
            for (std::size_t i = 0; i < length; ++i)
                AppendEscapedChar(page, bytes[at + i]);
        } else {
            char escape[12];
            std::snprintf(escape, sizeof escape, length == 0 ? "\\x%02X" : "\\u%04X",
                          length == 0 ? static_cast<unsigned char>(bytes[at]) : static_cast<unsigned>(code));
            Append(page, escape);
        }
        at += length == 0 ? 1 : length;
    }
}

void AppendRow(PageBytes& page, const char* caption, const std::string& value) {
    Append(page, std::string("<tr><th>") + caption + "</th><td>");
    AppendText(page, value.empty() ? Localized("（无）", "(none)") : value);
    Append(page, "</td></tr>\n");
}

// Every section but the last ends its printed page.
void OpenSection(PageBytes& page, bool bLast) {
    Append(page, bLast ? "<section>\n" : "<section class=\"next\">\n");
}

void AppendLetter(PageBytes& page, const PinLetter& letter, bool bLast) {
    OpenSection(page, bLast);
    Append(page, Localized("<h1>用户PIN密码函</h1>\n<p>尊敬的令牌持有人：</p>\n"
                           "<p>您的USB令牌已完成初始化。令牌的用户PIN如下：</p>\n<table>\n",
                           "<h1>User PIN letter</h1>\n<p>Dear token holder,</p>\n"
                           "<p>Your USB token has been initialised. Its user PIN is:</p>\n<table>\n"));
    AppendRow(page, Localized("持有人", "Holder"), letter.holder);
    AppendRow(page, Localized("序列号", "Serial number"), letter.serial);
    AppendRow(page, Localized("标签", "Label"), letter.label);
    Append(page,
           Localized("<tr><th>用户PIN</th><td class=\"pin\">", "<tr><th>User PIN</th><td class=\"pin\">"));
    AppendSecret(page, letter.userPin);
    Append(page, "</td></tr>\n");
    AppendRow(page, Localized("日期", "Date"), letter.day);
    Append(page,
           Localized("</table>\n<p class=\"note\">请妥善保管此PIN，切勿告知他人，也不要与令牌放在一起。"
                     "首次使用令牌时请立即修改用户PIN，并在修改后销毁本函。</p>\n</section>\n",
                     "</table>\n<p class=\"note\">Keep this PIN safe: never tell it to anyone, and do not "
                     "keep it with the token. Change the user PIN as soon as you first use the token, "
                     "and destroy this letter once you have.</p>\n</section>\n"));
}

void AppendUnopened(PageBytes& page, const std::vector<UnopenedEnvelope>& unopened) {
    OpenSection(page, true);
    Append(
        page,
        Localized("<h1>未能打开的信封</h1>\n<p>以下 ", "<h1>Envelopes not opened</h1>\n<p>The following ") +
            std::to_string(unopened.size()) +
            Localized(" 个信封未能打开，其中的PIN不在本文件中：</p>\n<table>\n<tr><th>文件</th><th>原因</"
                      "th></tr>\n",
                      " envelope(s) could not be opened; their PINs are not in this file:</p>\n<table>\n"
                      "<tr><th>File</th><th>Reason</th></tr>\n"));
    for (const UnopenedEnvelope& envelope : unopened) {
        Append(page, "<tr><td>");
        AppendText(page, envelope.name);
        Append(page, "</td><td>");
        AppendText(page, envelope.why);
        Append(page, "</td></tr>\n");
    }
    Append(page, "</table>\n</section>\n");
}

} // namespace

PageBytes RenderLetterPage(const std::vector<PinLetter>& letters,
                           const std::vector<UnopenedEnvelope>& unopened) {
    PageBytes page;
    Append(page, Head());
    Append(page, kStyle);
    for (std::size_t i = 0; i < letters.size(); ++i)
        AppendLetter(page, letters[i], i + 1 == letters.size() && unopened.empty());
    if (!unopened.empty())
        AppendUnopened(page, unopened);
    Append(page, "</body></html>\n");
    return page;
}
