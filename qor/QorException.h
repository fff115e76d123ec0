// QorException.h - the framework's exceptions.
//
// The framework throws exactly one thing: a pointer to the static
// g_memoryException when a string cannot get memory. Handlers catch the
// pointer, never delete it and never copy the object.
//
// No exception may leave a function that the system or the host calls (an
// export, the module entry, a dialog procedure): the frames above it carry
// no unwind tables that the C++ runtime can use, and the runtime would end
// the process. Such a function runs its work in QorCatchAll.
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

// Inside a handler: the exception being handled, as the framework's. Its
// own as it is, a memory failure of the C++ library as the memory
// exception, anything else as an internal error (code 1).
const CQorException& QorCaughtException() noexcept;

// Returns work(), or failed(QorCaughtException()) when work throws
// anything, so that nothing passes on to the caller. failed must not throw.
// Example: return QorCatchAll([&] { return Load(); },
//                             [](const CQorException&) { return FALSE; });
template <class Work, class Failed>
auto QorCatchAll(Work&& work, Failed&& failed) noexcept -> decltype(work())
{
    try {
        return work();
    } catch (...) {
        return failed(QorCaughtException());
    }
}
