// QorException.h - the framework's exceptions.
//
// The framework throws exactly one thing: a pointer to the static
// g_memoryException when a string cannot get memory. Handlers catch the
// pointer, never delete it and never copy the object.
#pragma once

class CQorException {
public:
    explicit CQorException(int code);
    virtual ~CQorException();
    virtual const char* GetErrorMessage() const;

    int code;
};

class CQorMemoryException : public CQorException {
public:
    CQorMemoryException();
    const char* GetErrorMessage() const override;
};

extern CQorMemoryException g_memoryException;

[[noreturn]] void QorThrowMemoryException();
