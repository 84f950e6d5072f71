#pragma once
// One attempt to wipe the single present token back to the blank type, after the module has
// checked its current SO PIN.
#include "FormatReporter.h"
#include "token/SecureBuffer.h"
#include "token/TokenModule.h"

// The blank page's side of an attempt: the outcome, and in batch mode the buttons.
class BlankFormatReporter : public FormatReporter {
  public:
    // Start disabled, Stop enabled. Called on every batch-mode attempt whose slot listing
    // succeeded, before the token count is looked at.
    virtual void ShowRunning() = 0;

  protected:
    ~BlankFormatReporter() = default;
};

// The attempt's own copy of the page's values, so the page may reset itself meanwhile.
struct BlankFormatParams {
    SecretText strSoPin; // current SO PIN, sent in the active ANSI code page
    bool bBatch = false;
};

// `module` is the binding read anew for this attempt; null when the module is not bound.
// Returns 6 when not bound, the listing's or the module's result, or 0 when the attempt
// ended without asking the module to wipe.
CK_RV FormatBlankToken(TokenModule* module, const BlankFormatParams& params, BlankFormatReporter& reporter);
