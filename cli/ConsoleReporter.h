#pragma once
// What one wipe or PKI attempt shows on a console. The last report is the attempt's outcome;
// the progress text before it is not shown.
#include "token/FormatReporter.h"

#include <string>

class ConsoleReporter final : public BlankFormatReporter {
  public:
    void ReportSuccess(bool bCount, std::wstring text) override { Keep(bCount, std::move(text)); }
    void ReportFailure(bool bCount, std::wstring text) override { Keep(bCount, std::move(text)); }
    void NoteToken(CK_SLOT_ID slot, const DEVICE_INFO* info) override;
    void ShowRunning() override {}
    // Asked on the terminal (y/N); without one the answer is No.
    bool ConfirmFinalTry() override;

    bool Counted() const { return m_bCounted; }
    const std::wstring& Text() const { return m_text; }
    bool TokenNoted() const { return m_bNoted; }
    CK_SLOT_ID Slot() const { return m_slot; }
    // The token's record, or null when it could not be read.
    const DEVICE_INFO* Info() const { return m_bInfo ? &m_info : nullptr; }

  private:
    void Keep(bool bCount, std::wstring text) {
        m_bCounted = bCount;
        m_text = std::move(text);
    }

    bool m_bCounted = false;
    std::wstring m_text;
    bool m_bNoted = false;
    bool m_bInfo = false;
    CK_SLOT_ID m_slot = 0;
    DEVICE_INFO m_info = {};
};
