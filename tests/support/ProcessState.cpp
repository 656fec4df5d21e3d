#include "tests/support/ProcessState.h"

#include <cstdlib>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"

void ClearProcessState() {
    TLanguageDialog = nullptr;
    TSetPortParam = nullptr;
    TPropSheet = nullptr;
    TProgressDialog = nullptr;
    TProgramDialog = nullptr;
    SerialPort.reset();
    RegisterImageStorage.reset();
    HardwareBits = 0;
    FreeLanguageTable();
    unsetenv("BROVANE_COM1");
}
