#include "ledger/LedgeredAttempt.h"

#include "ledger/LedgerTexts.h"
#include "token/DeviceInfoFormat.h"

LedgeredAttempt::LedgeredAttempt(BlankFormatReporter& shown, Ledger* ledger, LedgerOperation operation,
                                 LedgerMode mode, std::wstring label)
    : m_shown(shown), m_ledger(ledger) {
    m_pending.operation = operation;
    m_pending.mode = mode;
    m_pending.label = std::move(label);
}

void LedgeredAttempt::ReportSuccess(bool bCount, std::wstring text) {
    Hold(true, bCount, std::move(text));
}

void LedgeredAttempt::ReportFailure(bool bCount, std::wstring text) {
    Hold(false, bCount, std::move(text));
}

void LedgeredAttempt::NoteToken(CK_SLOT_ID slot, const DEVICE_INFO* info) {
    FillTokenFields(m_pending, slot, info);
    m_shown.NoteToken(slot, info);
}

void LedgeredAttempt::Hold(bool bSuccess, bool bCount, std::wstring text) {
    if (!bCount) {
        if (bSuccess)
            m_shown.ReportSuccess(false, std::move(text));
        else
            m_shown.ReportFailure(false, std::move(text));
        return;
    }
    // An attempt has one counted outcome; should a second come, the last one stands.
    m_pending.outcome = bSuccess ? LedgerOutcome::Success : LedgerOutcome::Failure;
    m_pending.message = std::move(text);
    m_bHeld = true;
}

LedgerAppendResult LedgeredAttempt::Finish(CK_RV rv, const std::wstring& more) {
    LedgerAppendResult result;
    result.written = true;
    if (!m_bHeld)
        return result;
    m_bHeld = false;
    m_pending.rv = rv;
    m_pending.message += more;
    std::wstring text = m_pending.message;
    if (m_ledger != nullptr) {
        result = m_ledger->Append(m_pending);
        if (!result.written)
            text += kLedgerNotWrittenNote;
        if (result.duplicate)
            text += kLedgerDuplicateNote;
    }
    m_entry = m_pending;
    if (m_pending.outcome == LedgerOutcome::Success)
        m_shown.ReportSuccess(true, std::move(text));
    else
        m_shown.ReportFailure(true, std::move(text));
    return result;
}

void FillTokenFields(LedgerEntry& entry, CK_SLOT_ID slot, const DEVICE_INFO* info) {
    entry.slot = static_cast<unsigned long>(slot);
    if (info == nullptr)
        return;
    const DeviceInfoTexts texts = FormatDeviceInfo(*info);
    entry.serial = texts.strSerialNumber;
    entry.cosVersion = texts.strCosVersion;
    entry.typeBefore = info->byDeviceType;
}
