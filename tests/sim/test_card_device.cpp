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

// Adapters as a system with a device database and /sys lists them: make, serial number and USB
// connection (port and device number on the bus, which a new plugging-in changes).
SerialDevice Adapter(std::string path, std::string model, std::string serial,
                     std::string connection, std::string byId = "") {
    return SerialDevice{std::move(path),  "USB adapter",     std::move(byId),      true,
                        std::move(model), std::move(serial), std::move(connection)};
}
// CP2102 modules that all say "0001": they share one by-id name, udev's for the last one.
const SerialDevice kCp2102{
    Adapter("/dev/ttyUSB0", "10c4:ea60", "0001", "1-1#5", "usb-Silicon_Labs_CP2102-if00-port0")};
const SerialDevice kCp2102Twin{
    Adapter("/dev/ttyUSB1", "10c4:ea60", "0001", "1-2#6", "usb-Silicon_Labs_CP2102-if00-port0")};
const SerialDevice kCp2102LinkLost{Adapter("/dev/ttyUSB0", "10c4:ea60", "0001", "1-1#5")};
// CH340 cables have no serial number.
const SerialDevice kCh340{Adapter("/dev/ttyUSB0", "1a86:7523", "", "1-1#5")};
const SerialDevice kCh340Other{Adapter("/dev/ttyUSB1", "1a86:7523", "", "1-2#6")};
const SerialDevice kCh340PluggedAgain{Adapter("/dev/ttyUSB0", "1a86:7523", "", "1-1#7")};
const SerialDevice kCh340OtherSwapped{Adapter("/dev/ttyUSB0", "1a86:7523", "", "1-2#8")};
const SerialDevice kCh340Swapped{Adapter("/dev/ttyUSB1", "1a86:7523", "", "1-1#9")};
// An FTDI adapter with a serial number of its own, plugged in again into another socket.
const SerialDevice kFt232{Adapter("/dev/ttyUSB0", "0403:6001", "A50285BI", "1-1#5")};
const SerialDevice kFt232Again{Adapter("/dev/ttyUSB3", "0403:6001", "A50285BI", "1-3#11")};
const SerialDevice kFt232Twin{Adapter("/dev/ttyUSB1", "0403:6001", "A50285BI", "1-2#6")};

struct ReplugCase {
    const char* name;
    std::vector<SerialDevice> atRead;
    std::vector<SerialDevice> atProgramming;
    std::string programmed;  // the device the programming opens; empty: none, nothing is sent
    OpenFailure refusal = OpenFailure::NoSuchDevice;  // why, when none
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
        EXPECT_EQ(port.LastOpenFailure(), GetParam().refusal);
        EXPECT_EQ(port.OpenFailureText(), readOn + ": " + OpenFailureReason(GetParam().refusal));
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
        ReplugCase{"NoByIdNameKeepsThePath", {kAcm}, {kAcmOther, kAcm}, "/dev/ttyACM0"},
        // Twins: the read's adapter is known by its connection, or not at all.
        ReplugCase{"ATwinPluggedInAfterTheRead",
                   {kCp2102},
                   {kCp2102LinkLost, kCp2102Twin},
                   "/dev/ttyUSB0"},
        ReplugCase{"ATwinPluggedInWithoutConnections",
                   {SerialDevice{"/dev/ttyUSB0", "", kCp2102.byIdName, true, "10c4:ea60", "0001"}},
                   {SerialDevice{"/dev/ttyUSB0", "", "", true, "10c4:ea60", "0001"},
                    SerialDevice{"/dev/ttyUSB1", "", kCp2102.byIdName, true, "10c4:ea60", "0001"}},
                   "",
                   OpenFailure::IdenticalAdapter},
        ReplugCase{"TwinsPresentAtBothTimes",
                   {kCp2102Twin, kCp2102LinkLost},
                   {kCp2102LinkLost, kCp2102Twin},
                   "/dev/ttyUSB1"},
        ReplugCase{"AnUnnumberedCablePulledAndAnIdenticalOnePluggedIn",
                   {kCh340},
                   {kCh340PluggedAgain},
                   "",
                   OpenFailure::IdenticalAdapter},
        ReplugCase{"UnnumberedTwinsPluggedInAgainSwapped",
                   {kCh340Other, kCh340},
                   {kCh340OtherSwapped, kCh340Swapped},
                   "",
                   OpenFailure::IdenticalAdapter},
        ReplugCase{"AnUnnumberedCablePulled", {kCh340}, {kFt232}, ""},
        ReplugCase{"ASerialNumberOfItsOwnIsFollowed",
                   {kFt232},
                   {kCh340Other, kFt232Again},
                   "/dev/ttyUSB3"},
        ReplugCase{"ASerialNumberATwinHadAtTheReadIsNot",
                   {kFt232, kFt232Twin},
                   {kFt232Again},
                   "",
                   OpenFailure::IdenticalAdapter},
        ReplugCase{"ASerialNumberATwinHasNowIsNot",
                   {kFt232},
                   {kFt232Again, kFt232Twin},
                   "",
                   OpenFailure::IdenticalAdapter}),
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
    PortOverrides overrides;
    overrides.Set(1, "/tmp/virtual-card");
    port.UsePortOverrides(overrides);
    ASSERT_TRUE(port.OpenPort());
    port.UsePortOverrides({});
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

// $BROVANE_COM1 or a path that is a link: the programming goes where the link led at the read,
// or nowhere; udev gives a shared by-id name to the twin plugged in last.
TEST_F(CardDevice, ALinkThatLeadsElsewhereNowIsNotFollowed) {
    const std::string link = "/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0";
    line.links[link] = "/dev/ttyUSB0";
    port.NameDevice(link);
    ASSERT_TRUE(ReadCardRegisters(port, image, {}).Ok());
    const size_t writtenByRead = line.written.size();
    const int opensBefore = line.opens;
    line.links[link] = "/dev/ttyUSB1";
    const BatchResult programmed = ProgramCardRegisters(port, image, {});
    EXPECT_EQ(programmed.failure, BatchFailure::CannotOpen);
    EXPECT_EQ(port.OpenFailureText(),
              link + ": it leads to another device now: read the card again");
    EXPECT_EQ(line.opens, opensBefore);
    EXPECT_EQ(line.written.size(), writtenByRead);
    // Led back, the link is followed again.
    line.links[link] = "/dev/ttyUSB0";
    EXPECT_TRUE(ProgramCardRegisters(port, image, {}).Ok());
}

// The console is opened only where $BROVANE_COMn names it; a path that leads to it is refused
// before anything is opened or sent.
TEST_F(CardDevice, APathToTheConsoleIsRefused) {
    line.present = DeviceList({kFtdi}, {"/dev/ttyS0"});
    line.links["/dev/serial0"] = "/dev/ttyS0";
    for (const std::string path : {"/dev/ttyS0", "/dev/serial0"}) {
        port.NameDevice(path);
        EXPECT_EQ(ReadCardRegisters(port, image, {}).failure, BatchFailure::CannotOpen) << path;
        EXPECT_EQ(port.OpenFailureText(), path + ": it carries the system's console");
    }
    EXPECT_EQ(line.opens, 0);
    EXPECT_TRUE(line.written.empty());
}

}  // namespace
