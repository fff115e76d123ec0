// CaptionOutput.h - what a conversion prints: each result on a line of its
// own, or with --show a title and the before -> after table. The count of
// captions left unchanged goes to standard error.
#pragma once
#include "Console.h"
#include <vector>

class CCaptionOutput {
public:
    // Prints to out, and the count to err; the table when table is true.
    CCaptionOutput(COutput& out, COutput& err, bool table);

    // The table's title: the engine's name and version, and the definition
    // file it started on (empty: none, which the plain output says on err).
    void Title(const std::string& engine, const std::string& definitionFile);
    // One caption and what the engine made of it.
    void Add(const std::string& before, const std::string& after);
    // Prints the table, or the count of captions left unchanged.
    void Finish();

private:
    struct Row {
        std::string before;
        std::string after;
    };

    COutput& out;
    COutput& err;
    bool table;
    int unchanged;
    std::vector<Row> rows; // kept for the table only
};
