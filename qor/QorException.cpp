// QorException.cpp - the framework's exceptions.
#include "QorException.h"
#include <new>

// The framework's static objects are made in this order: the exception,
// the null position, the window map (priorities 101 to 103).
CQorMemoryException g_memoryException __attribute__((init_priority(101)));

CQorException::CQorException(int code) : code(code) {}

CQorException::~CQorException() = default;

const char* CQorException::GetErrorMessage() const
{
    // "内部エラーが発生しました。" in code page 932
    return "\x93\xE0\x95\x94\x83\x47\x83\x89\x81\x5B\x82\xAA\x94\xAD\x90\xB6"
           "\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";
}

CQorMemoryException::CQorMemoryException() : CQorException(0) {}

const char* CQorMemoryException::GetErrorMessage() const
{
    // "メモリが不足しています。" in code page 932
    return "\x83\x81\x83\x82\x83\x8A\x82\xAA\x95\x73\x91\xAB\x82\xB5\x82\xC4"
           "\x82\xA2\x82\xDC\x82\xB7\x81\x42";
}

void QorThrowMemoryException()
{
    throw &g_memoryException;
}

const CQorException& QorCaughtException() noexcept
{
    static const CQorException internalError(1);
    try {
        throw;
    } catch (CQorException* e) {
        return *e;
    } catch (const std::bad_alloc&) {
        return g_memoryException;
    } catch (...) {
        return internalError;
    }
}
