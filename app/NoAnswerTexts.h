#pragma once

#include <string>
#include <vector>

#include "link/CardBatch.h"

// Why the card did not answer, and what a programming that stopped part-way left on the card,
// in the loaded language; English where the language file lacks these texts. The dialogs and
// brovane-cli say it in the same words. UTF-8.

// "The card did not answer: nothing came back: the card is off, ….", for a register
// "The card stopped answering at register 12: ….", or "The card refused register 12: …".
std::string NoAnswerLine(const BatchResult& result);

// What the technician does to finish a programming that stopped part-way.
enum class FinishBy {
    ProgramButton,  // the dialog: press Program again
    WriteCommand,   // brovane-cli: run the same write again
};

// After a programming that failed part-way: which registers reached the card, which one was
// sent without an answer or refused, which were not written, and that programming again
// completes it, in the words of the program that ran it ("may hold" when no register is known to
// have reached the card). Empty when the card is known to hold nothing new. An empty part is left
// out.
std::string PartWayLine(const std::vector<int>& registers, const BatchResult& result,
                        FinishBy finish);

// Registers in ascending runs: "0-4, 7-12"; "none" for none.
std::string RegisterRuns(const std::vector<int>& registers);
