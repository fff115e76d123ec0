/* CHost.c - a host written in C from the header shipped to host authors
   alone: it finds the exports by name and calls them with the types the
   header gives them. */
#include "../../engine/VarioEngine.h"
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#define FIND(module, name) ((__typeof__(&name))(void*)GetProcAddress(module, #name))

/* How many of the header's eight functions the module exports by the
   header's names. */
int CHostFound(HMODULE module)
{
    return !!FIND(module, TFEGetAPIVersion) + !!FIND(module, TFEGetEngineDescription)
        + !!FIND(module, TFEGetEngineVersion) + !!FIND(module, TFEInitEngine)
        + !!FIND(module, TFEExitEngine) + !!FIND(module, TFEConvertCaptionString)
        + !!FIND(module, TFEOnAbout) + !!FIND(module, TFEOnSetting);
}

/* The caption converted as a host does that knows no bound on the result:
   while the result fills the buffer to its last byte, it may have been cut,
   and the host asks again with a buffer twice as large. The result is the
   caller's to free, or null on a failure; *asked counts the calls. */
char* CHostConvert(HMODULE module, DWORD reserved, const char* caption, int size, int* asked)
{
    const __typeof__(&TFEGetAPIVersion) version = FIND(module, TFEGetAPIVersion);
    const __typeof__(&TFEConvertCaptionString) convert = FIND(module, TFEConvertCaptionString);
    char* buffer = NULL;
    *asked = 0;
    if (!version || version() != TFE_API_VERSION || !convert)
        return NULL;
    for (; size <= INT_MAX / 2; size *= 2) {
        char* larger = (char*)realloc(buffer, size);
        if (!larger)
            break;
        buffer = larger;
        ++*asked;
        if (!convert(reserved, caption, buffer, size))
            break;
        if (strlen(buffer) < (size_t)size - 1)
            return buffer;
    }
    free(buffer);
    return NULL;
}
