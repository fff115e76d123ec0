// Help.h - the text of vario-try --help.
#pragma once
#include <string>

// The usage, the options and the exit statuses, in the user's language.
std::string HelpText();
