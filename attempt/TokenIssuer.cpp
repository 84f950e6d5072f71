#include "attempt/TokenIssuer.h"

#include "base/Utf8.h"
#include "ledger/LedgerDay.h"
#include "ledger/LedgerLine.h"
#include "res/StringIds.h"
#include "seal/EnvelopeFile.h"
#include "seal/PinEnvelope.h"
#include "seal/RandomPin.h"

#include <cstdio>

namespace {

// HHMMSS of the envelope's file name.
std::string ClockText(const LedgerTime& time) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d%02d", time.hour, time.minute, time.second);
    return text;
}

} // namespace

TokenIssue TokenIssuer::IssueFor(const std::wstring& serial) {
    TokenIssue issue;
    if (m_stock != nullptr) {
        const StockToken listed = m_stock->Listed(serial);
        if (!listed.label.empty())
            m_label = Utf8ToWide(listed.label);
        m_holder = Utf8ToWide(listed.holder);
    }
    issue.label = m_label;
    if (m_random.length == 0)
        return issue;
    m_pin = RandomDigitPin(m_random.length);
    if (!m_pin || !Seal(serial)) {
        m_pin.reset();
        issue.failureId = IDS_ENVELOPE_NOT_WRITTEN;
        return issue;
    }
    issue.userPin = *m_pin;
    return issue;
}

bool TokenIssuer::Seal(const std::wstring& serial) {
    if (m_ledger == nullptr || !m_random.certificate || !m_pin)
        return false;
    const LedgerSources& sources = m_ledger->Sources();
    const LedgerTime now = sources.now();
    EnvelopeFields fields;
    fields.serial = WideToUtf8(serial);
    fields.label = WideToUtf8(m_label.value_or(m_jobLabel));
    fields.holder = WideToUtf8(m_holder);
    fields.time = LedgerTimeText(now);
    fields.station = sources.station();
    fields.operatorName = sources.user();
    fields.userPin = *m_pin;
    const SealedEnvelope sealed = SealEnvelope(*m_random.certificate, EnvelopeContent(fields));
    if (sealed.der.empty())
        return false;
    const EnvelopeFileWritten written =
        WriteEnvelopeFile(std::filesystem::path(m_ledger->Folder()), LedgerDayName(now), fields.serial,
                          ClockText(now), sealed.der);
    if (!written.written)
        return false;
    m_envelopeName = Utf8ToWide(written.relativeName);
    m_envelopePath = written.path;
    return true;
}

void TokenIssuer::SerialAssigned(const std::wstring& serial) {
    if (m_envelopeName.empty())
        return;
    const std::filesystem::path first = m_envelopePath;
    if (Seal(serial)) // otherwise the first envelope stays in force
        RemoveEnvelopeFile(first);
}

void TokenIssuer::Withdraw() {
    if (!m_envelopeName.empty())
        RemoveEnvelopeFile(m_envelopePath);
    m_envelopeName.clear();
    m_envelopePath.clear();
    m_pin.reset();
}
