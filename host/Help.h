// Help.h - the text of vario-try --help.
#pragma once

// The usage, the options and the exit statuses, in English.
extern const char kHelp[];
