#pragma once
// Whoever owns the binding to the token module: the main window in the program, a host
// window in tests. Pages and their workers reach it through the application's main window
// and read the binding anew at every operation; nothing caches it.
#include "token/TokenModule.h"

class TokenModuleOwner {
  public:
    // Null when there is no binding.
    virtual TokenModule* GetTokenModule() = 0;

  protected:
    ~TokenModuleOwner() = default;
};
