// Help.cpp - the text of vario-try --help, in pieces of the string tables.
// The registry key is taken from the header that the engine takes it from.
#include "Help.h"
#include "Messages.h"
#include "../res/Settings.h"

std::string HelpText()
{
    return Message(IDS_HELP_USAGE)
        + Message(IDS_HELP_OPTIONS, {VARIO_DEFFILE_VALUE, VARIO_SETTINGS_KEY})
        + Message(IDS_HELP_LANG) + Message(IDS_HELP_OPTIONS_END) + Message(IDS_HELP_RULES)
        + Message(IDS_HELP_EXIT);
}
