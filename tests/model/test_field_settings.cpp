// Fields named as show names them, set on a configuration by the configuration file's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/FieldSettings.h"
#include "model/Inputs.h"

namespace {

// A KFT018 configuration as the sheet writes one: COM0 NEXPR at 1200, COM1-COM3 at 9600 with
// no parity and one stop bit, bus address 5, every input digital with a 100 ms delay.
CardConfiguration Template(FirmwareFamily family = FirmwareFamily::Kft018) {
    CardConfiguration configuration;
    configuration.family = family;
    RegisterImage& image = configuration.image;
    image.SetValue(0, 0x0001);
    for (int reg = 1; reg <= 3; ++reg) {
        image.SetValue(reg, 0x0024);
    }
    image.SetValue(4, 0xFF05);
    if (family == FirmwareFamily::Kft018) {
        image.SetValue(7, 0xA900);
        for (int input = 1; input <= 8; ++input) {
            image.SetValue(24 + 3 * (input - 1), 0x000A);
            image.SetValue(26 + 3 * (input - 1), kDigitalInputUpper);
        }
    }
    return configuration;
}

TEST(FieldNames, EachFamilyHasItsPortsAndOnlyKft018ItsInputsAndOutputs) {
    const std::vector<std::string> ports = {
        "COM0 protocol", "COM0 baud",     "COM1 protocol", "COM1 baud",   "COM1 parity",
        "COM1 stop",     "COM2 protocol", "COM2 baud",     "COM2 parity", "COM2 stop",
        "COM2 address",  "COM3 protocol", "COM3 baud",     "COM3 parity", "COM3 stop"};
    EXPECT_EQ(FieldNamesOfFamily(FirmwareFamily::Kft015), ports);
    EXPECT_EQ(FieldNamesOfFamily(FirmwareFamily::Kft026), ports);
    const std::vector<std::string> all = FieldNamesOfFamily(FirmwareFamily::Kft018);
    ASSERT_EQ(all.size(), 15u + 8 * 4 + 8 * 2);
    EXPECT_EQ(all[15], "Input 1 type");
    EXPECT_EQ(all[18], "Input 1 delay");
    EXPECT_EQ(all.back(), "Output 8 events");
    EXPECT_EQ(CanonicalFieldName(" com2 ADDRESS "), "COM2 address");
    EXPECT_EQ(CanonicalFieldName("input 3 delay"), "Input 3 delay");
    EXPECT_EQ(CanonicalFieldName("COM2 adress"), "");
}

struct SetCase {
    std::vector<FieldValue> values;
    int reg;
    uint16_t expected;
};

TEST(SetFields, EachValueAsShowWritesItLandsInItsRegister) {
    const SetCase cases[] = {
        {{{"COM2 address", "12"}}, 4, 0xFF0C},
        {{{"com2 address", " 255 "}}, 4, 0xFFFF},
        {{{"COM1 baud", "19200"}}, 1, 0x0025},
        {{{"COM1 parity", "Even"}}, 1, 0x0044},
        {{{"COM3 stop", "2"}}, 3, 0x0034},
        {{{"COM2 protocol", "MODBUS RTU"}}, 2, 0x0124},
        {{{"COM0 baud", "9600"}}, 0, 0x0004},
        {{{"Input 3 delay", "250 ms"}}, 30, 0x0019},
        {{{"Input 3 delay", "250"}}, 30, 0x0019},
        {{{"Output 2 logic", "Normal OFF"}}, 7, 0xA902},
        {{{"Output 1 events", "1, 17"}}, 8, 0x0001},
        {{{"Input 2 type", "Voltage"}, {"Input 2 lower", "1.00 V"}, {"Input 2 upper", "5.00 V"}},
         27,
         0x010A},
    };
    for (const SetCase& c : cases) {
        SCOPED_TRACE(c.values[0].name + "=" + c.values[0].value);
        const FieldSetting setting = SetFields(Template(), c.values);
        ASSERT_TRUE(setting.configuration.has_value())
            << (setting.errors.empty() ? "" : FormatConfigError("set", setting.errors[0]));
        EXPECT_EQ(setting.configuration->image.Value(c.reg), c.expected);
        // Nothing else changes but the registers of the fields set.
        RegisterImage other = setting.configuration->image;
        other.SetValue(c.reg, Template().image.Value(c.reg));
        if (c.values.size() == 1 && c.values[0].name.find("events") == std::string::npos) {
            EXPECT_EQ(other, Template().image);
        }
    }
}

struct RefusalCase {
    FirmwareFamily family;
    std::vector<FieldValue> values;
    std::string expected;  // the first error, "m" for the file and the value's number as line
};

TEST(SetFields, RefusesEachWrongValueWithWhatIsAllowed) {
    const RefusalCase cases[] = {
        {FirmwareFamily::Kft018,
         {{"COM2 address", "256"}},
         "m:1: COM2 address \"256\" is out of range; allowed: 0 to 255"},
        {FirmwareFamily::Kft018,
         {{"COM1 baud", "57600"}},
         "m:1: COM1 baud \"57600\" is not in the list; allowed: 1200, 2400, 4800, 9600, 19200, "
         "raw 0-7"},
        {FirmwareFamily::Kft015,
         {{"Input 3 delay", "250 ms"}},
         "m:1: Input 3 delay \"250 ms\" is not a field of KFT015; allowed: COM0 protocol, COM0 "
         "baud, COM1 protocol, COM1 baud, COM1 parity, COM1 stop, COM2 protocol, COM2 baud, COM2 "
         "parity, COM2 stop, COM2 address, COM3 protocol, COM3 baud, COM3 parity, COM3 stop"},
        {FirmwareFamily::Kft018,
         {{"COM2 address", "12\n[COM3]"}},
         "m:1: COM2 address \"12?[COM3]\" holds a line break, a control character or a \"#\"; "
         "allowed: a value as show writes it"},
        {FirmwareFamily::Kft018,
         {{"COM2 address", "12"}, {"com2 address", "13"}},
         "m:2: COM2 address \"13\" is set twice; allowed: one value for each field"},
        {FirmwareFamily::Kft018,
         {{"Input 2 type", "Voltage"}},
         "m:1: Input 2 lower is missing; allowed: a threshold of the input's type, or raw "
         "0x0000-0xFFFF"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.expected);
        const FieldSetting setting = SetFields(Template(c.family), c.values);
        EXPECT_FALSE(setting.configuration.has_value());
        ASSERT_FALSE(setting.errors.empty());
        EXPECT_EQ(FormatConfigError("m", setting.errors[0]), c.expected);
    }
    const FieldSetting unknown = SetFields(Template(), {{"COM9 baud", "9600"}});
    ASSERT_EQ(unknown.errors.size(), 1u);
    EXPECT_EQ(unknown.errors[0].problem, "is not a field");
    EXPECT_EQ(unknown.errors[0].allowed.rfind("COM0 protocol, COM0 baud, COM1 protocol", 0), 0u);
}

TEST(SetFields, NoValueGivesTheTemplateAndAnAssignmentSplitsAtItsFirstEquals) {
    const FieldSetting setting = SetFields(Template(), {});
    ASSERT_TRUE(setting.configuration.has_value());
    EXPECT_EQ(*setting.configuration, Template());
    const std::optional<FieldValue> split = SplitFieldAssignment(" COM2 address =12=3");
    ASSERT_TRUE(split.has_value());
    EXPECT_EQ(split->name, "COM2 address");
    EXPECT_EQ(split->value, "12=3");
    EXPECT_FALSE(SplitFieldAssignment("COM2 address").has_value());
}

}  // namespace
