#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/OpenFailure.h"
#include "link/PortMapping.h"
#include "tests/support/Adapters.h"
#include "tests/support/PortEnvironment.h"

namespace {

const PortSystem kPosix = PortSystem::Posix();
const PortSystem kWindows = PortSystem::Windows();

TEST(PortNames, ComNamesOpenTheDeviceSetByHandOrTheOnBoardPort) {
    PortOverrides overrides;
    overrides.Set(2, "/tmp/card-two");
    overrides.Set(4, "");
    struct Case {
        const char* name;
        const char* device;
    };
    for (const Case& c :
         {Case{"COM1", "/dev/ttyS0"}, Case{"COM2", "/tmp/card-two"}, Case{"COM4", "/dev/ttyS3"},
          Case{"COM7", "/dev/ttyS6"}, Case{"COM9", "/dev/ttyS8"}, Case{"COM0", "COM0"},
          Case{"COM", "COM"}, Case{"com1", "com1"}, Case{"COMx", "COMx"},
          Case{"ttyUSB0", "ttyUSB0"}, Case{"/dev/pts/3", "/dev/pts/3"}, Case{"", ""}}) {
        EXPECT_EQ(ResolvePortName(c.name, DeviceList(), overrides, kPosix), c.device) << c.name;
    }
}

// Windows opens its own ports by their names, whatever is set by hand or listed.
TEST(PortNames, WindowsNamesPassUnchanged) {
    PortOverrides overrides;
    overrides.Set(1, "/tmp/virtual-card");
    const DeviceList listed({SerialDevice{"COM3", "USB Serial Port", "", true}});
    for (const char* name : {"COM1", "COM3", "COM7", "COM12", "com1", "COM0", ""}) {
        int listings = 0;
        EXPECT_EQ(ResolvePortName(
                      name,
                      [&] {
                          ++listings;
                          return listed;
                      },
                      overrides, kWindows),
                  name);
        EXPECT_EQ(listings, 0) << name;
    }
}

// The port list on Windows: the system's own COM1 to COM7, present when the system lists them.
TEST(PortNames, TheWindowsListShowsTheSystemsOwnPorts) {
    PortOverrides overrides;
    overrides.Set(2, "C:/cards/virtual");
    std::vector<std::string> texts;
    for (const PortChoice& choice :
         MapPortChoices(DeviceList({SerialDevice{"COM3", "USB Serial Port", "", true}}), overrides,
                        kWindows)) {
        texts.push_back(PortChoiceText(choice));
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{"COM1  no device", "COM2  no device",
                                        "COM3  USB Serial Port", "COM4  no device",
                                        "COM5  no device", "COM6  no device", "COM7  no device"}));
}

class PortVariables : public PortEnvironment {};

// The environment is read once, into a value the mapping is given; an empty variable is unset.
TEST_F(PortVariables, AreReadIntoTheOverridesOfAllSevenNames) {
    SetPortVariable(1, "/tmp/card-one");
    SetPortVariable(7, "card");
    if (ThisPortSystem().systemNamesComPorts) {
        // Windows names its ports itself: nothing is set by hand.
        EXPECT_EQ(ReadPortOverrides().Of(1), std::nullopt);
        return;
    }
    const PortOverrides overrides = ReadPortOverrides();
    for (int number = 1; number <= kPortChoiceCount; ++number) {
        const std::optional<std::string> expected =
            number == 1   ? std::optional<std::string>("/tmp/card-one")
            : number == 7 ? std::optional<std::string>("card")
                          : std::nullopt;
        EXPECT_EQ(overrides.Of(number), expected) << number;
    }
    SetPortVariable(1, "");
    EXPECT_EQ(ReadPortOverrides().Of(1), std::nullopt);
}

}  // namespace

namespace {

// COMn leads to a device found where the system does not name its ports.
class PortMapping : public testing::Test {
  protected:
    std::vector<std::string> Devices(const std::vector<SerialDevice>& present,
                                     const std::vector<std::string>& consoles = {}) {
        std::vector<std::string> devices;
        for (int n = 1; n <= kPortChoiceCount; ++n) {
            devices.push_back(ResolvePortName("COM" + std::to_string(n),
                                              DeviceList(present, consoles), overrides, kPosix));
        }
        return devices;
    }
    std::vector<std::string> Texts(const std::vector<SerialDevice>& present,
                                   const std::vector<std::string>& consoles = {}) {
        std::vector<std::string> texts;
        for (const PortChoice& choice :
             MapPortChoices(DeviceList(present, consoles), overrides, kPosix)) {
            texts.push_back(PortChoiceText(choice));
        }
        return texts;
    }

    PortOverrides overrides;  // the devices set by hand
};

struct MappingCase {
    const char* name;
    std::vector<SerialDevice> present;
    std::vector<std::string> devices;        // what COM1 to COM7 open
    std::vector<std::string> consoles = {};  // the system's console
};

class PortMappingOf : public PortMapping, public testing::WithParamInterface<MappingCase> {};

TEST_P(PortMappingOf, ComNamesOpenTheDevicesPresentInOrderThenTheOnBoardPorts) {
    EXPECT_EQ(Devices(GetParam().present, GetParam().consoles), GetParam().devices);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, PortMappingOf,
    testing::Values(MappingCase{"None",
                                {},
                                {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3",
                                 "/dev/ttyS4", "/dev/ttyS5", "/dev/ttyS6"}},
                    MappingCase{"OneAdapter",
                                {kFtdi},
                                {"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3",
                                 "/dev/ttyS4", "/dev/ttyS5", "/dev/ttyS6"}},
                    // Ordered by their persistent names, whichever was plugged in first.
                    MappingCase{"TwoAdapters",
                                {kProlific, kFtdi},
                                {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS2", "/dev/ttyS3",
                                 "/dev/ttyS4", "/dev/ttyS5", "/dev/ttyS6"}},
                    MappingCase{"AdaptersBeforeOnBoardPorts",
                                {kOnBoard4, kOnBoard0, kAcm, kFtdi},
                                {"/dev/ttyUSB0", "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS4", "",
                                 "/dev/ttyS5", "/dev/ttyS6"}},
                    // ttyS4 is COM2 already: COM5 leads nowhere rather than to it again.
                    MappingCase{"FallbackSkipsADeviceOpenedEarlier",
                                {kFtdi, kOnBoard4},
                                {"/dev/ttyUSB0", "/dev/ttyS4", "/dev/ttyS2", "/dev/ttyS3", "",
                                 "/dev/ttyS5", "/dev/ttyS6"}},
                    MappingCase{"TheConsoleIsNeverListed",
                                {kOnBoard0, kFtdi},
                                {"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3",
                                 "/dev/ttyS4", "/dev/ttyS5", "/dev/ttyS6"},
                                {"/dev/tty0", "/dev/ttyS0"}},
                    MappingCase{"TheConsoleIsNoFallback",
                                {},
                                {"", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3", "/dev/ttyS4",
                                 "/dev/ttyS5", "/dev/ttyS6"},
                                {"/dev/ttyS0"}},
                    // Whichever holds the shared name, the kernel's names order the twins.
                    MappingCase{"TwinAdaptersWithoutSerialNumbersByKernelName",
                                {kCh340Last, kFtdi, kCh340First},
                                {"/dev/ttyUSB0", "/dev/ttyUSB2", "/dev/ttyUSB3", "/dev/ttyS3",
                                 "/dev/ttyS4", "/dev/ttyS5", "/dev/ttyS6"}}),
    [](const testing::TestParamInfo<MappingCase>& info) { return std::string(info.param.name); });

TEST_F(PortMapping, TheEnvironmentVariableWinsOverTheDevicesPresent) {
    overrides.Set(1, "/tmp/virtual-card");
    overrides.Set(3, "card");
    EXPECT_EQ(Devices({kFtdi, kProlific, kOnBoard0}),
              (std::vector<std::string>{"/tmp/virtual-card", "/dev/ttyUSB1", "card", "/dev/ttyS3",
                                        "/dev/ttyS4", "/dev/ttyS5", "/dev/ttyS6"}));
}

TEST_F(PortMapping, OnlyANameSetByHandOpensTheConsole) {
    overrides.Set(2, "/dev/ttyS0");
    EXPECT_EQ(Devices({}, {"/dev/ttyS0"}),
              (std::vector<std::string>{"", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS3", "/dev/ttyS4",
                                        "/dev/ttyS5", "/dev/ttyS6"}));
    EXPECT_EQ(Texts({kOnBoard0}, {"/dev/ttyS0"})[0], "COM1  no device");
}

// The system's list opens every on-board port to look at it: it is asked only when the name
// alone does not decide.
TEST_F(PortMapping, TheDevicesPresentAreAskedOnlyWhenTheNameNeedsThem) {
    overrides.Set(1, "/tmp/virtual-card");
    struct Case {
        const char* name;
        int listings;
    };
    for (const Case& c : {Case{"COM1", 0}, Case{"/dev/ttyUSB0", 0}, Case{"card", 0},
                          Case{"COM2", 1}, Case{"COM7", 1}}) {
        int listings = 0;
        ResolvePortName(
            c.name,
            [&listings] {
                ++listings;
                return DeviceList({kFtdi});
            },
            overrides, kPosix);
        EXPECT_EQ(listings, c.listings) << c.name;
    }
}

TEST_F(PortMapping, OtherNamesAreUsedAsGiven) {
    for (const char* name : {"COM0", "COM", "com1", "COMx", "ttyUSB0", "/dev/pts/3", ""}) {
        EXPECT_EQ(ResolvePortName(name, DeviceList({kFtdi}), overrides, kPosix), name) << name;
    }
}

TEST_F(PortMapping, NumbersInDeviceNamesSortAsNumbers) {
    std::vector<SerialDevice> devices;
    for (const char* path : {"/dev/ttyUSB10", "/dev/ttyUSB2", "/dev/ttyUSB010", "/dev/ttyUSB1"}) {
        devices.push_back(SerialDevice{path, "", "", true});
    }
    const DeviceList sorted(devices);
    std::vector<std::string> paths;
    for (const SerialDevice& device : sorted.Devices()) {
        paths.push_back(device.path);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"/dev/ttyUSB1", "/dev/ttyUSB2", "/dev/ttyUSB010",
                                               "/dev/ttyUSB10"}));
}

TEST_F(PortMapping, TheListSaysWhatEachNameOpens) {
    const std::string existing = ::testing::TempDir() + "brovane-port-names-card";
    std::FILE* file = std::fopen(existing.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    overrides.Set(5, existing);
    overrides.Set(6, "/nonexistent/brovane-card");
    overrides.Set(7, "/dev/ttyUSB1");
    EXPECT_EQ(
        Texts({kOnBoard0, kFtdi, kProlific}),
        (std::vector<std::string>{"COM1  ttyUSB0 \xC2\xB7 FT232R USB UART",
                                  "COM2  ttyUSB1 \xC2\xB7 USB-Serial Controller", "COM3  ttyS0",
                                  "COM4  no device", "COM5  " + existing, "COM6  no device",
                                  "COM7  ttyUSB1 \xC2\xB7 USB-Serial Controller"}));
    std::remove(existing.c_str());
}

TEST_F(PortMapping, ChoicesCarryTheDeviceAndWhetherItIsThere) {
    const std::vector<PortChoice> choices = MapPortChoices(DeviceList({kAcm}), overrides, kPosix);
    ASSERT_EQ(choices.size(), 7U);
    EXPECT_EQ(choices[0].name, "COM1");
    EXPECT_EQ(choices[0].device, "/dev/ttyACM0");
    EXPECT_TRUE(choices[0].present);
    EXPECT_EQ(PortChoiceText(choices[0]), "COM1  ttyACM0");
    EXPECT_EQ(choices[1].name, "COM2");
    EXPECT_EQ(choices[1].device, "/dev/ttyS1");
    EXPECT_FALSE(choices[1].present);
    EXPECT_EQ(choices[1].description, "");
}

TEST(PortChoiceText, APortOnlyNamedShowsItsDescriptionAlone) {
    EXPECT_EQ(PortChoiceText(PortChoice{"COM3", "COM3", "USB Serial Port", true}),
              "COM3  USB Serial Port");
    EXPECT_EQ(PortChoiceText(PortChoice{"COM3", "COM3", "", true}), "COM3");
    EXPECT_EQ(PortChoiceText(PortChoice{"COM4", "COM4", "USB Serial Port", false}),
              "COM4  no device");
}

TEST(OpenFailureLine, NamesTheDeviceAndTheReason) {
    struct Case {
        OpenFailure failure;
        const char* line;
    };
    for (const Case& c :
         {Case{OpenFailure::NoSuchDevice, "/dev/ttyUSB0: no such device"},
          Case{OpenFailure::PermissionDenied, "/dev/ttyUSB0: permission denied"},
          Case{OpenFailure::InUse, "/dev/ttyUSB0: in use by another program"},
          Case{OpenFailure::NotSerialDevice, "/dev/ttyUSB0: not a serial device"},
          Case{OpenFailure::SettingsRefused, "/dev/ttyUSB0: the line settings were refused"},
          Case{OpenFailure::Other, "/dev/ttyUSB0: refused by the system"}}) {
        EXPECT_EQ(OpenFailureLine("/dev/ttyUSB0", c.failure), c.line);
    }
    EXPECT_EQ(OpenFailureLine("", OpenFailure::NoSuchDevice), "(no name): no such device");
}

// What a technician may type as a port: the seven list names, any COMn where Windows has it,
// and any device path; COM8 and above elsewhere are a mistake, not a file in the folder.
TEST(TypedPorts, EachFormOpensWhatItNames) {
    struct Case {
        const char* typed;
        TypedPortKind kind;
        TypedPortKind onWindows;
    };
    using enum TypedPortKind;
    for (const Case& c :
         {Case{"COM1", ListName, ListName}, Case{"COM7", ListName, ListName},
          Case{"COM8", NoPort, Device}, Case{"COM12", NoPort, Device}, Case{"COM0", Device, Device},
          Case{"/dev/ttyUSB0", Device, Device},
          Case{"/dev/serial/by-id/usb-FTDI_FT232R_A50285BI-if00-port0", Device, Device},
          Case{"card", Device, Device}, Case{"./card", Device, Device}, Case{"", NoPort, NoPort}}) {
        EXPECT_EQ(KindOfTypedPort(c.typed, kPosix), c.kind) << c.typed;
        EXPECT_EQ(KindOfTypedPort(c.typed, kWindows), c.onWindows) << c.typed;
    }
}

}  // namespace
