#pragma once
// The running program's own file and folder: the window program and the console twin find
// the token module, their children and their name beside themselves.
#include <string>

// The full path of the running program; empty when it cannot be told.
std::wstring OwnProgramPath();
// Its folder with the trailing separator ("C:\\Vantor\\"); empty when it cannot be told.
std::wstring OwnProgramFolder();
