#include "stock/StockList.h"

#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownPath.h"
#include "base/ShownText.h"

#include <algorithm>
#include <optional>
#include <set>

namespace {

constexpr const char* kSerialColumn = "serial";
constexpr const char* kHolderColumn = "holder";
constexpr const char* kLabelColumn = "label";
constexpr std::size_t kSerialMax = 64;
constexpr std::size_t kHolderMax = 64; // characters, as a name on a letter
constexpr std::size_t kLabelMaxBytes = 31;

bool HasControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::size_t CharacterCount(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// Printable ASCII without spaces, separators or quotes, as the tokens report theirs.
bool IsSerial(const std::string& text) {
    return !text.empty() && text.size() <= kSerialMax && std::all_of(text.begin(), text.end(), [](char c) {
        return c > ' ' && c < 127 && c != ',' && c != ';' && c != '"';
    });
}

// One CSV line's fields, trimmed; false on an unbalanced quote.
bool SplitCsv(const std::string& line, std::vector<std::string>& fields) {
    fields.assign(1, std::string());
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && inQuotes && i + 1 < line.size() && line[i + 1] == '"')
            fields.back() += line[++i];
        else if (c == '"')
            inQuotes = !inQuotes;
        else if (c == ',' && !inQuotes)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    for (std::string& field : fields)
        field = Trim(field);
    return !inQuotes;
}

class Parser {
  public:
    StockList Run(const std::string& bytes) {
        std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
        for (std::size_t number = 1; start <= bytes.size() && list_.error.empty(); ++number) {
            std::size_t end = bytes.find('\n', start);
            if (end == std::string::npos)
                end = bytes.size();
            std::string line = bytes.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Line(Trim(line), number);
            start = end + 1;
        }
        if (list_.error.empty() && list_.serials.empty())
            list_.error = Localized("清单中没有序列号", "the list holds no serial number");
        return list_;
    }

  private:
    void Fail(std::size_t number, const std::string& error) {
        list_.error = Localized("第 ", "line ") + std::to_string(number) + Localized(" 行：", ": ") + error;
        list_.errorLine = number;
    }

    void Line(const std::string& line, std::size_t number) {
        if (line.empty())
            return;
        if (!IsValidUtf8(line))
            return Fail(number, Localized("含有无效的UTF-8", "holds invalid UTF-8"));
        std::vector<std::string> fields;
        if (!SplitCsv(line, fields))
            return Fail(number, Localized("引号不成对", "unmatched quotes"));
        if (!formKnown_) {
            formKnown_ = true;
            if (const auto serial = Column(fields, kSerialColumn)) {
                column_ = *serial;
                holderColumn_ = Column(fields, kHolderColumn);
                labelColumn_ = Column(fields, kLabelColumn);
                columns_ = fields.size();
                return;
            }
            if (fields.size() > 1)
                return Fail(number, Localized("CSV 清单需要名为 serial 的列",
                                              "a CSV list needs a column named serial"));
        }
        if (fields.size() != columns_)
            return Fail(number, Localized("应有 ", "expected ") + std::to_string(columns_) +
                                    Localized(" 列，实有 ", " columns, found ") +
                                    std::to_string(fields.size()) + Localized(" 列", ""));
        const std::string& serial = fields[column_];
        if (!IsSerial(serial))
            return Fail(number, serial.empty() ? std::string(Localized("序列号为空", "empty serial number"))
                                               : Localized("不是序列号：", "not a serial number: ") +
                                                     ShownText(serial, kSerialMax));
        StockToken token;
        if (holderColumn_) {
            token.holder = fields[*holderColumn_];
            if (HasControl(token.holder) || CharacterCount(token.holder) > kHolderMax)
                return Fail(number,
                            Localized("持有人姓名含控制字符或超过 ",
                                      "the holder's name holds control characters or is longer than ") +
                                std::to_string(kHolderMax) + Localized(" 个字符", " characters"));
        }
        if (labelColumn_) {
            token.label = fields[*labelColumn_];
            if (!token.label.empty() && !IsStockLabel(token.label))
                return Fail(
                    number,
                    Localized("标签须为 1 到 31 字节的UTF-8文字，不含控制字符：",
                              "the label must be 1 to 31 bytes of UTF-8 text without control characters: ") +
                        ShownText(token.label, kSerialMax));
        }
        if (!seen_.insert(StockKey(serial)).second)
            return; // the first line of a serial holds
        list_.serials.push_back(serial);
        if (!token.holder.empty() || !token.label.empty())
            list_.tokens.emplace(StockKey(serial), std::move(token));
    }

    // The position of the column named `name` (any case) in a header line.
    static std::optional<std::size_t> Column(const std::vector<std::string>& fields, const char* name) {
        const auto named = std::find_if(fields.begin(), fields.end(),
                                        [name](const std::string& f) { return Lower(f) == name; });
        if (named == fields.end())
            return std::nullopt;
        return static_cast<std::size_t>(named - fields.begin());
    }

    StockList list_;
    bool formKnown_ = false;
    std::size_t column_ = 0;  // the serial's column
    std::size_t columns_ = 1; // columns of every line
    std::optional<std::size_t> holderColumn_, labelColumn_;
    std::set<std::string> seen_;
};

} // namespace

StockList ParseStockList(const std::string& bytes) {
    return Parser().Run(bytes);
}

StockList ReadStockList(const std::filesystem::path& path) {
    std::string bytes;
    const FileRead read = ReadRegularFile(path, kStockListMaxBytes, bytes);
    if (read != FileRead::kRead) {
        StockList list;
        list.error = Localized("无法读取清单文件，", "Cannot read the stock list file: ") +
                     FileReadProblem(read, kStockListMaxBytes);
        return list;
    }
    return ParseStockList(bytes);
}

bool IsStockLabel(const std::string& label) {
    return !label.empty() && label.size() <= kLabelMaxBytes && IsValidUtf8(label) && !HasControl(label);
}

std::string StockKey(const std::string& serial) {
    std::string key = Trim(serial);
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

std::string StockListProblem(const std::filesystem::path& path, const StockList& list) {
    return list.error.empty() ? std::string()
                              : Localized("清单 ", "Stock list ") + ShownPath(path) +
                                    Localized(" 有误：", " is wrong: ") + list.error;
}
