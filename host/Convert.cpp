// Convert.cpp - vario-try's plain run.
#include "Convert.h"
#include "EngineSession.h"
#include "ExitStatus.h"
#include "Messages.h"
#include "../qor/QorException.h"

namespace {

// Converts the caption and adds the result to the output, or else the
// caption as it came: whether the result was whole. When there is no memory
// to hold or print the result, the caption goes out as it came, and the
// next one is converted.
bool ConvertInto(CEngineSession& session, CCaptionOutput& output, const std::string& caption)
{
    bool whole = false;
    if (QorCatchAll(
            [&] {
                std::string result;
                whole = session.Convert(caption, result);
                output.Add(caption, result);
                return true;
            },
            [](const CQorException&) { return false; }))
        return whole;
    output.Add(caption, caption);
    return false;
}

int ConvertAll(CEngineSession& session, CCaptionOutput& output)
{
    int number = 0;
    int notWhole = 0;
    const int status = session.ForEachCaption([&](const std::string& caption) {
        ++number;
        if (!ConvertInto(session, output, caption)) {
            ++notWhole;
            session.Err().WriteLine("vario-try: " + Message(IDS_AT_CAPTION, {Number(number)}) + ": "
                                    + Message(IDS_NOT_WHOLE));
        }
    });
    output.Finish();
    return notWhole > 0 ? kNotWhole : status;
}

} // namespace

int RunConvert(CEngineSession& session, const Options& options)
{
    int status = session.CheckDisplay();
    if (status != kOk)
        return status;
    CCaptionOutput output(session.Out(), session.Err(), options.show || options.windows);
    status = session.Start(output);
    if (status != kOk)
        return status;
    status = ConvertAll(session, output);
    session.ShowDialogsAndStop();
    return session.Finish(status);
}
