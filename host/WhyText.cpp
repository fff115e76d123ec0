// WhyText.cpp - why a file or an engine module cannot be had, in the
// user's language.
#include "WhyText.h"
#include "Messages.h"

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

} // namespace

std::string WhyText(DWORD error)
{
    for (const auto& each : kReasons)
        if (each.error == error)
            return Message(each.id);
    return Message(IDS_WHY_WINDOWS_ERROR, {std::to_string(error)});
}

std::string LoadWhyText(const CEngineLoadFailure& why)
{
    if (why.dependencyMissing)
        return Message(IDS_WHY_DLL_MISSING);
    if (!why.missingFunction.empty())
        return Message(IDS_WHY_NO_FUNCTION, {why.missingFunction});
    return WhyText(why.error);
}
