// CaptionOutput.cpp - what a conversion prints.
#include "CaptionOutput.h"
#include "Messages.h"
#include "RuleText.h"
#include <algorithm>

CCaptionOutput::CCaptionOutput(COutput& out, COutput& err, bool table)
    : out(out), err(err), table(table), unchanged(0)
{
}

void CCaptionOutput::Title(const std::string& engine, const std::string& definitionFile)
{
    if (!table) {
        if (definitionFile.empty())
            err.WriteLine("vario-try: " + Message(IDS_NO_DEF_CHOSEN));
        return;
    }
    out.WriteLine(Message(
        IDS_TABLE_TITLE,
        {engine, definitionFile.empty() ? Message(IDS_TABLE_NONE_CHOSEN) : definitionFile}));
    out.WriteLine("");
}

void CCaptionOutput::Add(const std::string& before, const std::string& after)
{
    unchanged += after == before;
    if (table)
        rows.push_back({before, after});
    else
        out.WriteLine(after);
}

// In code page 932 a character takes as many columns on a terminal as it
// has bytes, so the byte count lines the arrows up; tabs and blanks at the
// ends are named, as --trace names them, to keep the columns and be seen.
void CCaptionOutput::Finish()
{
    if (!table) {
        if (unchanged == 0)
            return;
        err.WriteLine(
            Message(unchanged == 1 ? IDS_UNCHANGED_ONE : IDS_UNCHANGED_MANY, {Number(unchanged)}));
        return;
    }
    size_t width = 0;
    for (const Row& row : rows)
        width = std::max(width, Visible(row.before).size());
    for (const Row& row : rows) {
        const std::string before = Visible(row.before);
        const std::string pad(width - before.size(), ' ');
        if (row.after == row.before)
            out.WriteLine(before + pad + Message(IDS_TABLE_UNCHANGED));
        else
            out.WriteLine(before + pad + " " + kArrow + " " + Visible(row.after));
    }
}
