// ErrorText.cpp - Windows error codes in words.
#include "ErrorText.h"
#include <stdio.h>

std::string ErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_MOD_NOT_FOUND:
        return "the file does not exist";
    case ERROR_PATH_NOT_FOUND:
        return "its folder does not exist";
    case ERROR_ACCESS_DENIED:
        return "access is denied (or it is a folder)";
    case ERROR_SHARING_VIOLATION:
        return "another program holds it open";
    case ERROR_FILENAME_EXCED_RANGE:
        return "its path is too long";
    case ERROR_BAD_EXE_FORMAT:
        return "it is not a 32-bit Windows DLL";
    case ERROR_FILE_TOO_LARGE:
        return "it is 2 GB or larger";
    case ERROR_NOT_ENOUGH_MEMORY:
        return "there is not enough memory to hold it";
    case ERROR_HANDLE_EOF:
        return "it cannot be read whole";
    default:
        char text[64];
        snprintf(text, sizeof text, "Windows error %lu", error);
        return text;
    }
}
