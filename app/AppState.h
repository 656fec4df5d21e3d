#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/ProgramDirectory.h"

class RegisterImage;
class SerialPortParameter;
class TTLanguageDialog;
class TTSetPortParam;
class TTPropSheet;
class TTProgressDialog;
class TTProgramDialog;

// The process-wide state through which the dialogs hand data to each other. One thread
// touches it; it lives from start-up to the end of the process.

// Number NN of the language file lang_NN.ini in use.
extern int LanguageNumber;
// The card's registers; allocated when the language is confirmed, null before.
extern std::unique_ptr<RegisterImage> RegisterImageStorage;
// The one connection to the card; created by the port selection dialog.
extern std::unique_ptr<SerialPortParameter> SerialPort;
// Copy of the card's hardware value (0-31), taken after a successful card read.
extern int HardwareBits;

// The five dialogs, created once at start-up (owned by the start-up code).
extern TTLanguageDialog* TLanguageDialog;
extern TTSetPortParam* TSetPortParam;
extern TTPropSheet* TPropSheet;
extern TTProgressDialog* TProgressDialog;
extern TTProgramDialog* TProgramDialog;
