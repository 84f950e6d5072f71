#pragma once
// The running program's own file: a station starts its children from it.
#include <string>

// Empty when it cannot be told.
std::wstring OwnProgramPath();
