// CaptionOutput.cpp - what a conversion prints.
#include "CaptionOutput.h"
#include "RuleText.h"
#include <algorithm>
#include <stdio.h>

CCaptionOutput::CCaptionOutput(COutput& out, COutput& err, bool table)
    : out(out), err(err), table(table), unchanged(0)
{
}

void CCaptionOutput::Title(const std::string& engine, const std::string& definitionFile)
{
    if (!table) {
        if (definitionFile.empty())
            err.WriteLine("vario-try: no definition file is chosen, so no caption changes "
                          "(choose one with --def FILE)");
        return;
    }
    out.WriteLine(engine + ", definition file: "
                  + (definitionFile.empty() ? "none chosen (try --def FILE)" : definitionFile));
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
        char note[64];
        snprintf(note, sizeof note, "(%d caption%s unchanged)", unchanged,
                 unchanged == 1 ? "" : "s");
        err.WriteLine(note);
        return;
    }
    size_t width = 0;
    for (const Row& row : rows)
        width = std::max(width, Visible(row.before).size());
    for (const Row& row : rows) {
        const std::string before = Visible(row.before);
        const std::string pad(width - before.size(), ' ');
        if (row.after == row.before)
            out.WriteLine(before + pad + "  =  (unchanged)");
        else
            out.WriteLine(before + pad + " " + kArrow + " " + Visible(row.after));
    }
}
