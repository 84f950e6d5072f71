#pragma once
// The option names of vantor-cli's command line, its station child's included, and what of an
// argument a message may show: a PIN may be glued to any option.
#include <string>

// One of the options that would carry a PIN in clear, refused in every form.
bool IsPinOptionName(const std::wstring& name);

// What of a command-line argument a message may show, since anything glued to an option may be
// a PIN: nothing of an argument that does not begin with "--"; for one that begins with an
// option name any command knows (PIN options included), that name; otherwise "--…", since
// nothing marks where an unknown name would end and a glued PIN begin.
std::wstring ShownOptionName(const std::wstring& arg);
