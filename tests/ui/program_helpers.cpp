#include "tests/ui/program_helpers.h"

#include <cstdlib>
#include <cstring>

#include "app/AppState.h"
#include "app/LanguageTable.h"
#include "link/QtSerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "tests/support/ProcessState.h"
#include "tests/ui/sheet_helpers.h"
#include "ui/ProgressDialog.h"

namespace program_test {

ProgrammingSetUp::ProgrammingSetUp() {
    CreateLanguageTable();
    RegisterImageStorage = std::make_unique<RegisterImage>();
    progress_ = std::make_unique<TTProgressDialog>();
    TProgressDialog = progress_.get();
    SerialPort =
        std::make_unique<SerialPortParameter>(MakeSystemSerialLine(LinePlatform::Responsive()));
    std::strcpy(SerialPort->PortName, "COM1");
}

ProgrammingSetUp::~ProgrammingSetUp() {
    progress_.reset();
    ClearProcessState();
    card_.reset();
}

bool ProgrammingSetUp::StartCard(const CardConfig& config) {
    card_ = std::make_unique<PtyCardServer>(config);
    if (!card_->Start()) {
        return false;
    }
    setenv("BROVANE_COM1", card_->DevicePath().c_str(), 1);
    SerialPort->UsePortOverrides(ReadPortOverrides());
    return true;
}

void ProgrammingSetUp::PointComOneNowhere() {
    setenv("BROVANE_COM1", "/nonexistent/brovane-no-such-port", 1);
    SerialPort->UsePortOverrides(ReadPortOverrides());
}

std::vector<int> PortRegisterNumbers() {
    return {0, 1, 2, 3, 4};
}

std::vector<int> Kft018RegisterNumbers() {
    std::vector<int> registers = PortRegisterNumbers();
    for (int reg = 7; reg <= 47; ++reg) {
        registers.push_back(reg);
    }
    return registers;
}

QString Placeholder(int number) {
    return QString::fromStdString(sheet_test::Placeholder(number));
}

}  // namespace program_test
