// The programming goes to the card that was read: adapters plugged in or pulled while the sheet
// is edited change what COM1 means, never where the card's configuration is written.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/CardBatch.h"
#include "link/MemorySerialLine.h"
#include "link/SerialPortParameter.h"
#include "model/RegisterImage.h"
#include "sim/MemoryCard.h"
#include "tests/support/Adapters.h"
#include "tests/support/PortEnvironment.h"

namespace {

struct ReplugCase {
    const char* name;
    std::vector<SerialDevice> atRead;
    std::vector<SerialDevice> atProgramming;
    std::string programmed;  // the device the programming opens; empty: none, nothing is sent
};

class CardDevice : public PortEnvironment, public testing::WithParamInterface<ReplugCase> {
  protected:
    void SetUp() override {
        PortEnvironment::SetUp();
        CardConfig config;
        config.identity = "KFT018-01-01";
        card = std::make_unique<Card>(config);
        AttachCard(line, *card);
        std::strcpy(port.PortName, "COM1");
    }

    std::unique_ptr<Card> card;
    SerialPortParameter port{std::make_unique<MemorySerialLine>()};
    MemorySerialLine& line = static_cast<MemorySerialLine&>(port.Line());
    RegisterImage image;
};

TEST_P(CardDevice, TheProgrammingOpensTheDeviceTheCardWasReadOn) {
    line.present = DeviceList(GetParam().atRead);
    ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok());
    const std::string readOn = line.lastDevice;
    const size_t writtenByRead = line.written.size();

    line.present = DeviceList(GetParam().atProgramming);
    const int opensBefore = line.opens;
    const BatchResult programmed = ProgramCardRegisters(port, image, {});
    if (GetParam().programmed.empty()) {
        EXPECT_EQ(programmed.failure, BatchFailure::CannotOpen);
        EXPECT_EQ(port.LastOpenFailure(), OpenFailure::NoSuchDevice);
        EXPECT_EQ(port.OpenFailureText(), readOn + ": no such device");
        EXPECT_EQ(line.opens, opensBefore);
        EXPECT_EQ(line.written.size(), writtenByRead);
        return;
    }
    ASSERT_TRUE(programmed.Ok());
    EXPECT_EQ(line.lastDevice, GetParam().programmed);
    // brovane-cli's write --verify reads back from the device it wrote.
    ASSERT_TRUE(ReadCardRegisters(port, image, {}, {}, BatchDevice::CardDevice).Ok());
    EXPECT_EQ(line.lastDevice, GetParam().programmed);
}

INSTANTIATE_TEST_SUITE_P(
    Replugs, CardDevice,
    testing::Values(
        ReplugCase{"Unchanged", {kProlific}, {kProlific}, "/dev/ttyUSB1"},
        ReplugCase{"AnAdapterAddedThatSortsFirst", {kProlific}, {kFtdi, kProlific}, "/dev/ttyUSB1"},
        ReplugCase{"TheReadsAdapterPulled", {kProlific}, {kFtdi}, ""},
        ReplugCase{
            "PluggedInAgainUnderAnotherName", {kProlific}, {kFtdi, kProlificAgain}, "/dev/ttyUSB4"},
        ReplugCase{"NoByIdNameKeepsThePath", {kAcm}, {kAcmOther, kAcm}, "/dev/ttyACM0"}),
    [](const testing::TestParamInfo<ReplugCase>& info) { return std::string(info.param.name); });

TEST_F(CardDevice, ALaterReadMapsThePortNameAfresh) {
    line.present = DeviceList({kProlific});
    ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok());
    line.present = DeviceList({kFtdi, kProlific});
    ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok());
    EXPECT_EQ(line.lastDevice, "/dev/ttyUSB0");
    ASSERT_TRUE(ProgramCardRegisters(port, image, {}).Ok());
    EXPECT_EQ(line.lastDevice, "/dev/ttyUSB0");
}

// COM5 falls back to a device that COM2 opens already: it leads nowhere, and nothing is opened.
TEST_F(CardDevice, ANameThatLeadsToNoDeviceOpensNothing) {
    line.present = DeviceList({kFtdi, kOnBoard4});
    std::strcpy(port.PortName, "COM5");
    EXPECT_EQ(ReadCardRegisters(port, image, {}).failure, BatchFailure::CannotOpen);
    EXPECT_EQ(line.opens, 0);
    EXPECT_EQ(port.OpenFailureText(), "COM5: no such device");
}

// BROVANE_COMn or a path decides the device: the system's list, which opens every on-board
// port to look at it, is not asked.
TEST_F(CardDevice, TheDeviceListIsAskedOnlyWhenTheNameNeedsIt) {
    line.present = DeviceList({kFtdi});
    SetPortVariable(1, "/tmp/virtual-card");
    ASSERT_TRUE(port.OpenPort());
    SetPortVariable(1, "");
    std::strcpy(port.PortName, "card");
    ASSERT_TRUE(port.OpenPort());
    EXPECT_EQ(line.listings, 0);
    std::strcpy(port.PortName, "COM1");
    ASSERT_TRUE(port.OpenPort());
    EXPECT_EQ(line.listings, 1);
    EXPECT_EQ(line.lastDevice, "/dev/ttyUSB0");
}

// A device path longer than PortName's four characters is named directly: it is opened as
// given, the device list is never asked, and the programming goes back to it.
TEST_F(CardDevice, ADeviceNamedDirectlyIsReadAndProgrammedWithoutTheDeviceList) {
    line.present = DeviceList({kFtdi});
    port.NameDevice("/dev/serial/by-id/usb-Prolific-if00-port0");
    ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok());
    EXPECT_EQ(line.lastDevice, "/dev/serial/by-id/usb-Prolific-if00-port0");
    ASSERT_TRUE(ProgramCardRegisters(port, image, {}).Ok());
    EXPECT_EQ(line.lastDevice, "/dev/serial/by-id/usb-Prolific-if00-port0");
    EXPECT_EQ(line.listings, 0);
    port.NameDevice("");
    ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok());
    EXPECT_EQ(line.lastDevice, "/dev/ttyUSB0");
}

}  // namespace
