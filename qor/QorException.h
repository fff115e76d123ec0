// QorException.h - the framework's exceptions.
//
// The framework throws exactly one thing: a pointer to the static
// g_memoryException when a string cannot get memory. Handlers catch the
// pointer, never delete it and never copy the object.
#pragma once

class CQorException {
public:
    // An exception with the given code.
    explicit CQorException(int code);
    virtual ~CQorException();
    // The text to show the user, code page 932: "内部エラーが発生しました。"
    virtual const char* GetErrorMessage() const;

    int code;
};

class CQorMemoryException : public CQorException {
public:
    // Code 0.
    CQorMemoryException();
    // "メモリが不足しています。" in code page 932.
    const char* GetErrorMessage() const override;
};

// The one object ever thrown.
extern CQorMemoryException g_memoryException;

// Throws &g_memoryException; never returns.
[[noreturn]] void QorThrowMemoryException();
