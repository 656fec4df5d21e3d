#include "app/AppState.h"

#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"

int LanguageNumber = 0;
std::unique_ptr<RegisterImage> RegisterImageStorage;
std::unique_ptr<SerialPortParameter> SerialPort;
int HardwareBits = 0;

TTLanguageDialog* TLanguageDialog = nullptr;
TTSetPortParam* TSetPortParam = nullptr;
TTPropSheet* TPropSheet = nullptr;
TTProgressDialog* TProgressDialog = nullptr;
TTProgramDialog* TProgramDialog = nullptr;
