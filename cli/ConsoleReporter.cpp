#include "cli/ConsoleReporter.h"

#include "cli/TerminalPrompt.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

void ConsoleReporter::NoteToken(CK_SLOT_ID slot, const DEVICE_INFO* info) {
    m_bNoted = true;
    m_slot = slot;
    m_bInfo = info != nullptr;
    if (info != nullptr)
        m_info = *info;
}

bool ConsoleReporter::ConfirmFinalTry() {
    return ConfirmOnTerminal(LoadStringOrDefault(IDS_SO_PIN_FINAL_TRY_QUESTION));
}
