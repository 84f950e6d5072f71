#pragma once
// The About box: the tool's name and version and the maker's notices. Its OK button ends it.
#include "win/Afx.h"

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();
};
