// WhyText.cpp - why a file or an engine module cannot be had. The engine's
// client, which the tests share, says why in English; the host says it in
// the user's language.
#include "WhyText.h"
#include "ErrorText.h"
#include "Messages.h"
#include <stdlib.h>
#include <string.h>

namespace {

// The Windows errors a user meets with a file, and their messages.
const struct {
    DWORD error;
    UINT id;
} kReasons[] = {
    {ERROR_FILE_NOT_FOUND, IDS_WHY_NO_FILE},
    {ERROR_MOD_NOT_FOUND, IDS_WHY_NO_FILE},
    {ERROR_PATH_NOT_FOUND, IDS_WHY_NO_FOLDER},
    {ERROR_ACCESS_DENIED, IDS_WHY_ACCESS_DENIED},
    {ERROR_SHARING_VIOLATION, IDS_WHY_HELD_OPEN},
    {ERROR_FILENAME_EXCED_RANGE, IDS_WHY_PATH_TOO_LONG},
    {ERROR_BAD_EXE_FORMAT, IDS_WHY_NOT_32_BIT_DLL},
    {ERROR_FILE_TOO_LARGE, IDS_WHY_TOO_LARGE},
    {ERROR_NOT_ENOUGH_MEMORY, IDS_WHY_NO_MEMORY},
    {ERROR_HANDLE_EOF, IDS_WHY_NOT_WHOLE},
};

// CEngineModule::Load's own reasons, beside ErrorText's.
const char kDllMissing[] = "a DLL that it needs is missing";
const char kNoFunction[] = "it has no function ";

} // namespace

std::string WhyText(DWORD error)
{
    for (const auto& each : kReasons)
        if (each.error == error)
            return Message(each.id);
    return Message(IDS_WHY_WINDOWS_ERROR, {std::to_string(error)});
}

std::string LoadWhyText(const std::string& reason)
{
    for (const auto& each : kReasons)
        if (reason == ErrorText(each.error))
            return Message(each.id);
    const size_t digits = reason.find_last_not_of("0123456789") + 1;
    if (digits < reason.size()) {
        const DWORD error = strtoul(reason.c_str() + digits, nullptr, 10);
        if (reason == ErrorText(error))
            return WhyText(error);
    }
    if (reason == kDllMissing)
        return Message(IDS_WHY_DLL_MISSING);
    const size_t name = reason.find(':');
    if (reason.compare(0, strlen(kNoFunction), kNoFunction) == 0 && name != std::string::npos)
        return Message(IDS_WHY_NO_FUNCTION,
                       {reason.substr(strlen(kNoFunction), name - strlen(kNoFunction))});
    return reason;
}
