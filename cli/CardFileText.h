#pragma once

#include <string>

#include "model/ConfigFile.h"
#include "model/OutputEvents.h"

// The configuration file of a card that was read: the configuration with the event names as
// comments, headed by where and when it was read, the card's identity and hardware value.
// Call it from one thread at a time: the local time comes from the C library's one buffer.
std::string CardFileText(const CardConfiguration& card, const EventNames& names,
                         const std::string& portName, const std::string& identity,
                         int hardwareBits);
