#include "cli/ConsoleFrontEnd.h"

#include "attempt/OutcomeText.h"
#include "cli/TerminalPrompt.h"
#include "res/StringIds.h"
#include "res/StringTable.h"

bool ConsoleFrontEnd::ConfirmFinalTry() {
    return ConfirmOnTerminal(LoadStringOrDefault(IDS_SO_PIN_FINAL_TRY_QUESTION));
}
