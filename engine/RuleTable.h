// RuleTable.h - the rule table: the rules of a definition file in file
// order, and the conversion of a caption with them.
//
// CRuleTable loads a definition file, keeps one CConvRule per rule line and
// the index that tells a conversion which rules a caption can set off, and
// converts captions. It knows nothing of the registry, the dialogs or the
// module: the engine (ConvEngine.h) holds one, and the console host uses one
// of its own to explain and trace a file.
#pragma once
#include "RuleIndex.h"
#include "../qor/QorColl.h"
#include "../qor/QorString.h"
#include <windows.h>

class CConvRule {
public:
    // The rule of a rule line: the text before the comma at offset comma is
    // its source, the rest its replacement, each in a buffer of its size.
    CConvRule(const char* line, int comma);

    CQorString source;
    CQorString replacement;
};

class CRuleTable {
public:
    // An empty table.
    CRuleTable();
    ~CRuleTable();
    CRuleTable(const CRuleTable&) = delete;
    CRuleTable& operator=(const CRuleTable&) = delete;

    // Puts the rules of the file at path in place of the table's: TRUE, or
    // FALSE with the table empty when the file cannot be read or memory
    // runs out part-way. A table is whole or empty. Throws the memory
    // exception, the table empty.
    BOOL Load(const char* path);
    // Deletes every rule; makes no allocation.
    void Clear();

    // Applies the rules to the caption in table order and copies the result
    // into buffer, cut to size - 1 bytes (size > 0): TRUE, or FALSE when the
    // caption cannot be read (buffer untouched) or the buffer not written
    // whole. Only reads the table, so several threads may convert at once.
    // Throws the memory exception (or std::bad_alloc) with buffer untouched.
    BOOL Convert(const char* caption, char* buffer, int size) const;
    // The text with every occurrence of source replaced, as one rule does it
    // inside Convert: "a b a" with "a" -> "xy" gives "xy b xy"; an empty
    // source is found nowhere. Throws the memory exception.
    static CQorString ReplaceAll(const CQorString& text, const char* source,
                                 const char* replacement);

    // The rules, CConvRule*, in file order.
    const CQorPtrArray& Rules() const { return rules; }

private:
    // Stores the rule of one line of a load; FALSE when it cannot be stored.
    // Only a load calls it: the load indexes what it stored.
    BOOL ParseLine(CQorString& line);
    // Builds the index of the rules stored; FALSE when memory runs out.
    BOOL IndexRules();

    CQorPtrArray rules; // CConvRule*, in file order; owned here
    CRuleIndex index;   // follows rules: built by each load, emptied with it

    // No part of the rules: what CTableInForce (TableInForce.h) keeps of the
    // table once it is replaced, written by its loads alone. The counts of
    // readers that may hold it, one bit a count; and the next table on the
    // list of those replaced but kept.
    friend class CTableInForce;
    unsigned keptBy = 0;
    CRuleTable* nextKept = nullptr;
};
