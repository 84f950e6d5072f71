#pragma once
// A page of the main window: a child dialog that Enter and Esc never close or hide.
#include "win/Dialog.h"

class CPageDialog : public CDialog {
  public:
    using CDialog::CDialog;

  protected:
    void OnOK() override {}
    void OnCancel() override {}
};
