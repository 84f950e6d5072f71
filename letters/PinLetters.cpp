#include "letters/PinLetters.h"

#include "base/Language.h"
#include "base/RegularFile.h"
#include "base/ShownPath.h"
#include "letters/EnvelopeFiles.h"
#include "seal/OpenEnvelope.h"
#include "seal/PinEnvelope.h"

namespace fs = std::filesystem;

namespace {

// The envelope's letter, or why there is none.
std::optional<PinLetter> OpenLetter(const EnvelopeFileName& file, const EnvelopeKey& key, std::string& why) {
    std::vector<unsigned char> der;
    const FileRead status = ReadRegularFile(file.path, kEnvelopeFileLimit, der);
    if (status != FileRead::kRead) {
        why = FileReadProblem(status, kEnvelopeFileLimit);
        return std::nullopt;
    }
    const std::optional<SecureBytes> content = OpenEnvelope(key, der);
    if (!content) {
        why = Localized("无法用此私钥打开（不是为此私钥封装的信封，或文件已损坏）",
                        "cannot be opened with this private key (not sealed for it, or the file is damaged)");
        return std::nullopt;
    }
    std::optional<EnvelopeFields> fields = ReadEnvelopeContent(*content);
    if (!fields) {
        why = Localized("内容无效", "the content is not valid");
        return std::nullopt;
    }
    return PinLetter{fields->holder, fields->serial, fields->label, file.day, fields->userPin};
}

} // namespace

WrittenLetters WritePinLetters(const PinLettersRequest& request, const EnvelopeKey& key,
                               const fs::path& out) {
    WrittenLetters written;
    const std::vector<EnvelopeFileName> files =
        EnvelopeFilesOfSpan(request.ledgerFolder, request.from, request.to);
    if (files.empty())
        return written;
    std::vector<PinLetter> letters;
    for (const EnvelopeFileName& file : files) {
        std::string why;
        if (std::optional<PinLetter> letter = OpenLetter(file, key, why))
            letters.push_back(std::move(*letter));
        else
            written.unopened.push_back({"pins/" + file.day + "/" + ShownPath(file.path.filename()), why});
    }
    written.letters = letters.size();
    switch (WritePageFile(out, RenderLetterPage(letters, written.unopened))) {
    case PageFileWrite::kWritten:
        written.outcome = LettersWrite::kWritten;
        break;
    case PageFileWrite::kNotRegularFile:
        written.outcome = LettersWrite::kNotRegularFile;
        break;
    case PageFileWrite::kNotWritten:
        written.outcome = LettersWrite::kNotWritten;
        break;
    }
    return written;
}
