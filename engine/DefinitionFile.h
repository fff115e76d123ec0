// DefinitionFile.h - the definition file as the engine reads it: the whole
// file cut into lines in place, and how each line is taken.
#pragma once
#include "../qor/QorString.h"

// A definition file read whole into memory and cut into lines in place.
class CDefinitionText {
public:
    CDefinitionText();
    ~CDefinitionText();
    CDefinitionText(const CDefinitionText&) = delete;
    CDefinitionText& operator=(const CDefinitionText&) = delete;

    // One open, one size query, one read: ERROR_SUCCESS, or why the file
    // cannot be read: the error of the open, size query or read,
    // ERROR_FILE_TOO_LARGE for 2 GB or more, ERROR_NOT_ENOUGH_MEMORY, or
    // ERROR_HANDLE_EOF when it held less than its size said. The file is
    // closed again before Read returns.
    DWORD Read(const char* path);
    // The next line with its LF (and a CR before it) cut off, or null after
    // the last line. The text ends at the first NUL byte.
    char* NextLine();
    // At least as many as the lines that NextLine gives from here on, empty
    // ones aside: the LF bytes left, and one more when the text does not end
    // with one. After a successful Read.
    int Lines() const;

private:
    char* buffer;
    char* next;
    char* end;
};

enum class DefLineKind {
    kSection,
    kComment,
    kRule,
    kOther
};

// How a line of a definition file is taken; for a rule line, *comma is the
// offset of the comma that splits it.
DefLineKind ClassifyDefinitionLine(const CQorString& line, int* comma);
