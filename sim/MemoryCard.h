#pragma once

#include "link/MemorySerialLine.h"
#include "sim/Card.h"

// Puts the card behind an in-memory line: every frame written to the line is answered at once.
// A reply piece that follows a pause longer than a second arrives as a separate burst, a
// HangUp fault makes the line go away. The card must outlive the line's use.
void AttachCard(MemorySerialLine& line, Card& card);
