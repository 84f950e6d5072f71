// The stand-in reading a PKI_INIT_PARAM as a token would: the record's own bytes come from
// the input, its pointers lead to a label field and to two PIN buffers filled from the input
// too (without a promise of a terminating zero), and the result is applied to a PKI token.
#include "standin/TokenOperations.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Takes the next `n` bytes of the input, zero-padded when it runs out.
std::vector<std::uint8_t> Take(const std::uint8_t*& data, std::size_t& size, std::size_t n) {
    std::vector<std::uint8_t> bytes(n, 0);
    std::size_t k = size < n ? size : n;
    std::memcpy(bytes.data(), data, k);
    data += k;
    size -= k;
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> record = Take(data, size, sizeof(PKI_INIT_PARAM));
    std::vector<std::uint8_t> label = Take(data, size, PKI_LABEL_FIELD_SIZE);
    // A PIN buffer as long as the module may scan: a zero within it or none at all.
    std::vector<std::uint8_t> soPin = Take(data, size, kPinScanBytes);
    std::vector<std::uint8_t> userPin = Take(data, size, kPinScanBytes);

    PKI_INIT_PARAM param;
    std::memcpy(&param, record.data(), sizeof param);
    std::uint8_t selector = record[2];
    param.pLabel = selector & 1 ? nullptr : label.data();
    param.pSoPin = selector & 2 ? nullptr : soPin.data();
    param.pUserPin = selector & 4 ? nullptr : userPin.data();

    PkiRecordCopy copy = CopyPkiRecord(param);
    TokenDescription description;
    if (std::optional<VirtualToken> token = MakeToken(0, description))
        InitPkiToken(*token, copy);
    return 0;
}
