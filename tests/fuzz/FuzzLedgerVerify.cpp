// The streaming check of a day file: any bytes, cut into pieces of any sizes, never fail, and
// give the verdict the whole file gives; a file's last chain value is always found as an
// anchor. The first input byte chooses the pieces (and whether a sealed header comes first,
// so that the lines behind it are reached), the rest is the file.
#include "ledger/LedgerChain.h"
#include "ledger/LedgerLine.h"
#include "ledger/LedgerVerify.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool Same(const LedgerVerdict& a, const LedgerVerdict& b) {
    return a.seal == b.seal && a.brokenLine == b.brokenLine && a.brokenWithoutValue == b.brokenWithoutValue &&
           a.lines == b.lines && a.lastChain == b.lastChain && a.cutAtEnd == b.cutAtEnd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0)
        return 0;
    const unsigned choice = data[0];
    std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    if (choice & 1)
        file = std::string(kUtf8ByteOrderMark) + SealedLedgerHeader() + "\r\n" + file;
    const LedgerVerdict whole = VerifyLedgerBytes(file);

    const std::string anchor = IsChainValue(whole.lastChain) ? whole.lastChain : std::string();
    LedgerRowReader reader;
    LedgerVerifier verifier(anchor);
    std::uint32_t state = choice * 2654435761u + 1;
    for (std::size_t at = 0; at < file.size();) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        const std::size_t piece = 1 + state % (choice & 2 ? 7 : 300);
        reader.Feed(std::string_view(file).substr(at, piece),
                    [&verifier](const LedgerRow& record) { verifier.Take(record); });
        at += piece;
    }
    const LedgerVerdict pieces = verifier.Finish(reader);
    if (!Same(whole, pieces) || (!anchor.empty() && pieces.anchorLine == 0))
        std::abort();
    return 0;
}
