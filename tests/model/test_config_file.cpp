// The configuration file of brovane-cli: every image of every family comes back unchanged
// through the file, and every fault of a file is reported with its line, field and value.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/ConfigFile.h"
#include "model/FirmwareVariant.h"

namespace {

EventNames Named(int unnamedFrom = 33) {
    EventNames names;
    for (int e = 1; e <= 32; ++e) {
        names[e - 1] = e >= unnamedFrom ? "" : "Event " + std::to_string(e);
    }
    return names;
}

// A random image of the registers the family exchanges; every other register zero. Half of the
// draws pick the codes the sheet offers, so that both the plain and the raw forms are covered.
CardConfiguration RandomConfiguration(FirmwareFamily family, std::mt19937& random) {
    CardConfiguration configuration;
    configuration.family = family;
    std::uniform_int_distribution<int> word(0, 0xFFFF);
    std::bernoulli_distribution plain(0.5);
    for (const int reg : ExchangedRegisters(VariantOfFamily(family))) {
        uint16_t value = static_cast<uint16_t>(word(random));
        if (plain(random)) {
            // Sheet codes: protocol 0/1, baud 1-4, line byte without spare bits, type 0-3,
            // delay up to 250, thresholds within 0-100.
            if (reg <= 3) {
                value = static_cast<uint16_t>((value & 0x0100) |
                                              (reg == 0 ? 1 + value % 4 : (value & 0x77) | 0x21));
            } else if (reg >= 24 && (reg - 24) % 3 == 0) {
                value = static_cast<uint16_t>((value % 4) << 8 | (value >> 8) % 251);
            } else if (reg >= 25) {
                value = static_cast<uint16_t>(value % 101);
            }
        }
        configuration.image.SetValue(reg, value);
    }
    return configuration;
}

TEST(ConfigFile, EveryImageOfEveryFamilyComesBackUnchanged) {
    std::mt19937 random(20261208);
    for (const FirmwareFamily family :
         {FirmwareFamily::Kft015, FirmwareFamily::Kft018, FirmwareFamily::Kft026}) {
        for (const int unnamedFrom : {33, 30}) {
            const EventNames names = Named(unnamedFrom);
            for (int draw = 0; draw < 2000; ++draw) {
                const CardConfiguration original = RandomConfiguration(family, random);
                const std::string text =
                    FormatConfigFile(DescribeConfiguration(original, names), {"test"});
                const ConfigReading reading = ReadConfigFile(text);
                ASSERT_TRUE(reading.errors.empty())
                    << FormatConfigError("f", reading.errors.front()) << "\n"
                    << text;
                ASSERT_TRUE(reading.configuration.has_value());
                ASSERT_EQ(*reading.configuration, original) << text;
            }
        }
    }
}

// A KFT018 file as brovane-cli writes it for a card with the sheet's usual settings.
const char kGoodFile[] = R"(# heading
[card]
family = KFT018

[COM0]
protocol = NEXPR
baud = 1200

[COM1]
protocol = MODBUS RTU
baud = 19200
parity = None
stop = 1

[COM2]
protocol = MODBUS RTU
baud = 9600
parity = Even
stop = 2
address = 32

[COM3]
protocol = NEXPR
baud = 1200
parity = None
stop = 1
)";

std::string Kft018File(const std::string& extra = {}) {
    std::string text = kGoodFile;
    for (int n = 1; n <= 8; ++n) {
        text += "[Input " + std::to_string(n) + "]\ntype = Voltage\nlower = 0.50 V\n" +
                "upper = 4.50 V\ndelay = 250 ms\n";
    }
    for (int k = 1; k <= 8; ++k) {
        text += "[Output " + std::to_string(k) + "]\nlogic = Normal ON\nevents = 1, 17  # x\n";
    }
    return text + extra;
}

TEST(ConfigFile, ReadsTheSheetValues) {
    const ConfigReading reading = ReadConfigFile(Kft018File());
    ASSERT_TRUE(reading.errors.empty()) << FormatConfigError("f", reading.errors.front());
    const RegisterImage& image = reading.configuration->image;
    EXPECT_EQ(image.Value(0), 0x0001);
    EXPECT_EQ(image.Value(1), 0x0125);
    EXPECT_EQ(image.Value(2), 0x0154);
    EXPECT_EQ(image.Value(3), 0x0021);
    EXPECT_EQ(image.Value(4), 0xFF20);
    EXPECT_EQ(image.Value(7), 0xA900);
    EXPECT_EQ(image.Value(8), 0x0001);
    EXPECT_EQ(image.Value(9), 0x0001);
    EXPECT_EQ(image.Value(24), 0x0119);
    EXPECT_EQ(image.Value(25), 102);
    EXPECT_EQ(image.Value(26), 921);  // 4.50 V: 920.7 rounds up
    EXPECT_EQ(image.Value(5), 0);
    EXPECT_EQ(image.Value(6), 0);
}

// The port sections alone, for the given family.
std::string PortsOnly(const std::string& family) {
    std::string text = kGoodFile;
    return text.replace(text.find("KFT018"), 6, family);
}

// Replaces the first occurrence of `from` (after `after`) in the good file.
std::string Edited(const std::string& from, const std::string& to, const std::string& after = "") {
    std::string text = Kft018File();
    const size_t at = text.find(from, text.find(after));
    return text.replace(at, from.size(), to);
}

struct ErrorCase {
    const char* name;
    std::string text;
    int line;
    std::string field;
    std::string value;
    std::string allowedPart;
};

class ConfigFileErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(ConfigFileErrors, ReportsLineFieldValueAndAllowed) {
    const ErrorCase& c = GetParam();
    const ConfigReading reading = ReadConfigFile(c.text);
    ASSERT_EQ(reading.errors.size(), 1u)
        << (reading.errors.empty() ? "no error" : FormatConfigError("f", reading.errors[1]));
    const ConfigError& error = reading.errors.front();
    EXPECT_FALSE(reading.configuration.has_value());
    EXPECT_EQ(error.line, c.line);
    EXPECT_EQ(error.field, c.field);
    EXPECT_EQ(error.value, c.value);
    EXPECT_NE(error.allowed.find(c.allowedPart), std::string::npos) << error.allowed;
}

// Line numbers of the good file: [COM0] 5, protocol 6, baud 7; [COM1] 9-13; [COM2] 15-20;
// [COM3] 22-26; [Input 1] 27, type 28, lower 29, upper 30, delay 31; [Input 2] from 32.
// [Output 1] 67, logic 68, events 69.
INSTANTIATE_TEST_SUITE_P(
    Table, ConfigFileErrors,
    testing::Values(
        ErrorCase{"UnknownFamily", Edited("KFT018", "KFT019"), 3, "card family", "KFT019",
                  "KFT015, KFT018, KFT026"},
        ErrorCase{"Com0Protocol", Edited("protocol = NEXPR", "protocol = MODBUS RTU"), 6,
                  "COM0 protocol", "MODBUS RTU", "NEXPR, KARVO"},
        ErrorCase{"Com0BaudNotOffered", Edited("baud = 1200", "baud = 19200"), 7, "COM0 baud",
                  "19200", "1200, 2400, 4800, 9600, raw"},
        ErrorCase{"Com1Baud38400", Edited("baud = 19200", "baud = 38400"), 11, "COM1 baud", "38400",
                  "1200, 2400, 4800, 9600, 19200, raw 0-7"},
        ErrorCase{"RawBaudTooHigh", Edited("baud = 19200", "baud = raw 8"), 11, "COM1 baud",
                  "raw 8", "raw 0-7"},
        ErrorCase{"Parity", Edited("parity = Even", "parity = Mark"), 18, "COM2 parity", "Mark",
                  "None, Even, Odd"},
        ErrorCase{"Stop", Edited("stop = 2", "stop = 1.5"), 19, "COM2 stop", "1.5", "1, 2"},
        ErrorCase{"AddressAbove255", Edited("address = 32", "address = 256"), 20, "COM2 address",
                  "256", "0 to 255"},
        ErrorCase{"AddressNotANumber", Edited("address = 32", "address = 3x"), 20, "COM2 address",
                  "3x", "0 to 255"},
        ErrorCase{"SpareBitsOutsideMask", Edited("stop = 1\n", "stop = 1\nspare_bits = raw 0x10\n"),
                  14, "COM1 spare_bits", "raw 0x10", "bits 3 and 7"},
        ErrorCase{"Type", Edited("type = Voltage", "type = Current"), 28, "Input 1 type", "Current",
                  "Digital, Voltage, Temperature, Percentage"},
        ErrorCase{"VoltsAbove5", Edited("upper = 4.50 V", "upper = 5.01 V"), 30, "Input 1 upper",
                  "5.01 V", "0.00 to 5.00 V"},
        ErrorCase{"VoltsThreeDecimals", Edited("lower = 0.50 V", "lower = 0.505"), 29,
                  "Input 1 lower", "0.505", "at most two decimals"},
        ErrorCase{"WrongUnit", Edited("lower = 0.50 V", "lower = 0.50 %"), 29, "Input 1 lower",
                  "0.50 %", "V"},
        ErrorCase{"LowerAboveUpper", Edited("lower = 0.50 V", "lower = 4.60 V"), 29,
                  "Input 1 lower", "4.60 V", "at most the upper"},
        ErrorCase{"DelayStep", Edited("delay = 250 ms", "delay = 255 ms"), 31, "Input 1 delay",
                  "255 ms", "0 to 2500 ms in steps of 10"},
        ErrorCase{"DelayAbove2500", Edited("delay = 250 ms", "delay = 2510"), 31, "Input 1 delay",
                  "2510", "0 to 2500 ms"},
        ErrorCase{"DelayNegative", Edited("delay = 250 ms", "delay = -10"), 31, "Input 1 delay",
                  "-10", "0 to 2500 ms"},
        ErrorCase{"DigitalWithThreshold",
                  Edited("type = Voltage\nlower = 0.50 V\nupper = 4.50 V\n",
                         "type = Digital\nlower = 0.50 V\n"),
                  29, "Input 1 lower", "0.50 V", "raw 0x0000-0xFFFF"},
        ErrorCase{"Logic", Edited("logic = Normal ON", "logic = Normal"), 68, "Output 1 logic",
                  "Normal", "Normal ON, Normal OFF"},
        ErrorCase{"EventNumber", Edited("events = 1, 17", "events = 1, 33"), 69, "Output 1 events",
                  "33", "1-32"},
        ErrorCase{"UnknownKey", Edited("stop = 1\n", "stop = 1\nspeed = 9600\n"), 14, "COM1 speed",
                  "9600", "protocol, baud, parity, stop"},
        ErrorCase{"DuplicateKey", Edited("stop = 1\n", "stop = 1\nstop = 2\n"), 14, "COM1 stop",
                  "2", "each key once"},
        ErrorCase{"NoEquals", Edited("stop = 1\n", "stop = 1\nparity None\n"), 14, "line",
                  "parity None", "key = value"},
        ErrorCase{"MissingKey", Edited("address = 32\n", ""), 15, "COM2 address", "", "0 to 255"},
        ErrorCase{"MissingSection", Kft018File().substr(0, Kft018File().find("[Output 8]")), 87,
                  "[Output 8]", "", "[Output 8]"},
        ErrorCase{"InputsInKft015",
                  PortsOnly("KFT015") + "[Input 1]\ntype = Digital\ndelay = 0 ms\n", 27,
                  "[Input 1]", "", "[COM0] to [COM3]"},
        ErrorCase{"Utf16", std::string("\xFF\xFE#\0 \0h\0", 8), 1, "file", "", "UTF-8"},
        ErrorCase{"SignedAddress", Edited("address = 32", "address = +32"), 20, "COM2 address",
                  "+32", "0 to 255"},
        ErrorCase{"HexadecimalAddress", Edited("address = 32", "address = 0x20"), 20,
                  "COM2 address", "0x20", "0 to 255"},
        ErrorCase{"ParityCodeOtherThanZero", Edited("parity = None", "parity = raw 2"), 12,
                  "COM1 parity", "raw 2", "None, Even, Odd, raw 0"},
        ErrorCase{"DecimalComma", Edited("upper = 4.50 V", "upper = 4,50 V"), 30, "Input 1 upper",
                  "4,50 V", "0.00 to 5.00 V"},
        ErrorCase{"EventsEndingInAComma", Edited("events = 1, 17", "events = 1, 17,"), 69,
                  "Output 1 events", "1, 17,", "1-32"},
        ErrorCase{"HexadecimalEvent", Edited("events = 1, 17", "events = 1, 0x10"), 69,
                  "Output 1 events", "0x10", "1-32"},
        ErrorCase{"EmptyFile", "", 1, "file", "", "configuration file"},
        ErrorCase{"BlankFile", "\n \r\n", 1, "file", "", "configuration file"},
        // A power loss can leave NULs in a UTF-8 file; they stand on their line, not for UTF-16.
        ErrorCase{"NulInAComment", Edited("stop = 1\n", std::string("stop = 1  # cut\0\0\n", 18)),
                  13, "a NUL byte", "", "text without NUL bytes"}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

TEST(ConfigFile, ReportsEveryErrorAtOnceInLineOrder) {
    std::string text = Edited("baud = 19200", "baud = 38400");
    text = text.replace(text.find("address = 32"), 12, "address = 999");
    text = text.replace(text.find("delay = 250 ms"), 14, "delay = 7");
    const ConfigReading reading = ReadConfigFile(text);
    ASSERT_EQ(reading.errors.size(), 3u);
    EXPECT_EQ(reading.errors[0].line, 11);
    EXPECT_EQ(reading.errors[1].line, 20);
    EXPECT_EQ(reading.errors[2].line, 31);
    EXPECT_EQ(FormatConfigError("card.cfg", reading.errors[1]),
              "card.cfg:20: COM2 address \"999\" is out of range; allowed: 0 to 255");
}

TEST(ConfigFile, WritesPlainValuesWithEventNamesAsComments) {
    const ConfigReading reading = ReadConfigFile(Kft018File());
    ASSERT_TRUE(reading.configuration.has_value());
    const std::string text =
        FormatConfigFile(DescribeConfiguration(*reading.configuration, Named()), {"heading"});
    EXPECT_NE(text.find("# heading\n"), std::string::npos);
    EXPECT_NE(text.find("[COM2]\nprotocol = MODBUS RTU\nbaud = 9600\nparity = Even\nstop = 2\n"
                        "address = 32\n"),
              std::string::npos);
    EXPECT_NE(text.find("lower = 0.50 V\nupper = 4.50 V\ndelay = 250 ms\n"), std::string::npos);
    EXPECT_NE(text.find("events = 1, 17              # Event 1, Event 17\n"), std::string::npos);
    EXPECT_EQ(text.find("raw"), std::string::npos);
    EXPECT_EQ(text.find("reserved"), std::string::npos);
}

TEST(ConfigFile, KeepsCodesTheSheetDoesNotOfferAsRaw) {
    CardConfiguration configuration;
    configuration.image.SetValue(0, 0x0507);  // protocol 5, baud code 7
    configuration.image.SetValue(1, 0x0087);  // baud 7, parity 0, spare bit 7
    configuration.image.SetValue(4, 0x1220);
    configuration.image.SetValue(7, 0x0000);
    configuration.image.SetValue(8, 0x0000);
    configuration.image.SetValue(9, 0x8000);   // event 32, unnamed below
    configuration.image.SetValue(24, 0x09FF);  // type 9, delay byte 255
    configuration.image.SetValue(27, 0x0100);  // volts
    configuration.image.SetValue(28, 512);     // shows as 2.50, which stores 511
    configuration.image.SetValue(29, 1023);
    const std::string text = FormatConfigFile(DescribeConfiguration(configuration, Named(32)), {});
    for (const char* expected :
         {"reserved_4 = raw 0x12", "reserved_7 = raw 0x00", "[COM0]\nprotocol = raw 0x05",
          "baud = raw 0x07", "[COM1]\nprotocol = NEXPR", "baud = raw 7", "parity = raw 0",
          "spare_bits = raw 0x80", "events = 32", "type = raw 0x09", "delay = raw 255",
          "lower = raw 0x0200", "upper = 5.00 V"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
    const ConfigReading reading = ReadConfigFile(text);
    ASSERT_TRUE(reading.configuration.has_value());
    EXPECT_EQ(reading.configuration->image, configuration.image);
}

TEST(ConfigFile, NamesAndListValuesAreNotCaseSensitive) {
    std::string text = Kft018File();
    text.replace(text.find("family = KFT018"), 15, "Family = kft018");
    text.replace(text.find("[COM1]"), 6, "[com1]");
    text.replace(text.find("MODBUS RTU"), 10, "modbus rtu");
    const ConfigReading reading = ReadConfigFile(text);
    ASSERT_TRUE(reading.errors.empty()) << FormatConfigError("f", reading.errors.front());
    EXPECT_EQ(reading.configuration->image.Value(1), 0x0125);
}

TEST(ConfigFile, DifferencesNameTheFieldBothValuesAndTheEvents) {
    CardConfiguration a;
    a.family = FirmwareFamily::Kft018;
    a.image.SetValue(1, 0x0125);
    a.image.SetValue(7, 0xA900);
    a.image.SetValue(8, 0x0003);
    CardConfiguration b = a;
    b.image.SetValue(1, 0x0124);
    b.image.SetValue(8, 0x0005);
    b.image.SetValue(9, 0x0001);
    EXPECT_EQ(DescribeDifferences(a, b, Named(), "A", "B"),
              (std::vector<std::string>{
                  "COM1 baud: 19200 in A, 9600 in B",
                  "Output 1 events: 1, 2 in A, 1, 3, 17 in B; only in A: 2 (Event 2); only in "
                  "B: 3 (Event 3), 17 (Event 17)"}));
    EXPECT_TRUE(DescribeDifferences(a, a, Named(), "A", "B").empty());
    CardConfiguration ports = a;
    ports.family = FirmwareFamily::Kft015;
    const std::vector<std::string> families = DescribeDifferences(a, ports, Named(), "A", "B");
    ASSERT_FALSE(families.empty());
    EXPECT_EQ(families.front(), "card family: KFT018 in A, KFT015 in B");
    EXPECT_EQ(families.back(), "Output 8: only in A");
}

// Input 1 with another type and lower threshold; upper and delay as given.
std::string Input1(const std::string& type, const std::string& lower, const std::string& upper,
                   const std::string& delay = "250 ms") {
    return Edited(
        "type = Voltage\nlower = 0.50 V\nupper = 4.50 V\ndelay = 250 ms",
        "type = " + type + "\nlower = " + lower + "\nupper = " + upper + "\ndelay = " + delay);
}

RegisterImage ImageOf(const std::string& text) {
    const ConfigReading reading = ReadConfigFile(text);
    EXPECT_TRUE(reading.errors.empty())
        << (reading.errors.empty() ? "" : FormatConfigError("f", reading.errors.front()));
    return reading.configuration ? reading.configuration->image : RegisterImage{};
}

TEST(ConfigFile, UnitsAreReadAsPeopleTypeThem) {
    struct Case {
        std::string typed;
        std::string canonical;
    };
    const std::vector<Case> cases = {
        {Input1("Voltage", "1.00V", "4.50 V"), Input1("Voltage", "1.00 V", "4.50 V")},
        {Input1("Voltage", "1.00 v", "4.50\tV"), Input1("Voltage", "1.00 V", "4.50 V")},
        {Input1("Percentage", "10%", "90 %"), Input1("Percentage", "10 %", "90 %")},
        {Input1("Temperature", "-10 \u00B0c", "100 C"),
         Input1("Temperature", "-10 \u00B0C", "100 \u00B0C")},
        {Input1("Temperature", "-10 degC", "100\u00B0C"), Input1("Temperature", "-10", "100")},
        {Input1("Voltage", "1.00", "4.50", "500ms"), Input1("Voltage", "1.00", "4.50", "500 ms")},
        {Input1("Voltage", "1.00", "4.50", "500 MS"), Input1("Voltage", "1.00", "4.50", "500")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.substr(c.typed.find("[Input 1]"), 80));
        EXPECT_EQ(ImageOf(c.typed), ImageOf(c.canonical));
    }
    const ConfigReading delay = ReadConfigFile(Input1("Voltage", "1.00", "4.50", "5 s"));
    ASSERT_EQ(delay.errors.size(), 1u);
    EXPECT_EQ(delay.errors[0].problem, "unit \"s\" is not ms");
    const ConfigReading volts = ReadConfigFile(Input1("Voltage", "1 A", "4.50"));
    ASSERT_EQ(volts.errors.size(), 1u);
    EXPECT_EQ(volts.errors[0].problem, "unit \"A\" is not V");
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string Utf16(const std::string& ascii, bool bigEndian, bool mark) {
    std::string text = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (const char c : ascii) {
        text += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return text;
}

TEST(ConfigFile, FilesFromOtherEditorsAreReadOrRefusedInOneLine) {
    const std::string utf8 = Input1("Temperature", "-10 \u00B0C", "100 \u00B0C");
    struct Case {
        const char* name;
        std::string text;
        TextEncoding encoding;
    };
    const std::vector<Case> cases = {
        {"Windows-1252", Replaced(utf8, "\u00B0", "\xB0"), TextEncoding::Windows1252},
        {"CR line ends", Replaced(utf8, "\n", "\r"), TextEncoding::Utf8},
        {"CR LF line ends", Replaced(utf8, "\n", "\r\n"), TextEncoding::Utf8},
        {"degrees in a comment", Replaced(utf8, "# heading", "# 20 \u00B0C"), TextEncoding::Utf8},
        {"Windows-1252 degrees in a comment",
         Replaced(utf8, "# heading",
                  "# 20 \xB0"
                  "C"),
         TextEncoding::Windows1252},
        {"UTF-16 LE", Utf16(utf8.substr(0, 60), false, true), TextEncoding::Utf16},
        {"UTF-16 BE", Utf16(utf8.substr(0, 60), true, true), TextEncoding::Utf16},
        {"UTF-16 LE without a mark", Utf16(utf8.substr(0, 60), false, false), TextEncoding::Utf16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ConfigReading reading = ReadConfigFile(c.text);
        EXPECT_EQ(reading.encoding, c.encoding);
        if (c.encoding == TextEncoding::Utf16) {
            EXPECT_EQ(reading.errors.size(), 1u);
        } else {
            EXPECT_EQ(ImageOf(c.text), ImageOf(utf8));
        }
    }
}

TEST(ConfigFile, ADecimalCommaIsAskedToBeAPoint) {
    for (const std::string& text :
         {Edited("upper = 4.50 V", "upper = 4,50 V"), Edited("lower = 0.50 V", "lower = 0,5"),
          Edited("delay = 250 ms", "delay = 250,0 ms")}) {
        const ConfigReading reading = ReadConfigFile(text);
        ASSERT_EQ(reading.errors.size(), 1u);
        EXPECT_EQ(reading.errors[0].problem, "has a decimal comma: use a decimal point");
    }
}

TEST(ConfigFile, OnlyNulsAtAlternatingPositionsAreUtf16) {
    struct Case {
        std::string bytes;
        TextEncoding encoding;
    };
    const std::vector<Case> cases = {
        {std::string("a\0b\0c\0", 6), TextEncoding::Utf16},
        {std::string("\0a\0b\0c", 6), TextEncoding::Utf16},
        {std::string("# abc\0\n", 7), TextEncoding::Utf8},
        {std::string("a\0\0b", 4), TextEncoding::Utf8},
        {std::string("# 20 \xB0"
                     "C cut\0\n",
                     13),
         TextEncoding::Windows1252},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding) << c.bytes.size();
    }
}

TEST(ConfigFile, ParityCodeZeroComparesAsTheCardReadsItBack) {
    const ConfigReading reading = ReadConfigFile(Edited("parity = None", "parity = raw 0"));
    ASSERT_TRUE(reading.configuration.has_value());
    const ConfigReading none = ReadConfigFile(Kft018File());
    ASSERT_TRUE(none.configuration.has_value());
    // COM1 at 19200, one stop bit: parity code 0 goes to the card as it is, and the card gives
    // it back as code 1 (None).
    EXPECT_EQ(reading.configuration->image.Value(1), 0x0105);
    EXPECT_EQ(none.configuration->image.Value(1), 0x0125);
    EXPECT_EQ(AsReadFromTheCard(*reading.configuration).image.Value(1), 0x0125);
    EXPECT_EQ(AsReadFromTheCard(*reading.configuration), *none.configuration);
}

TEST(ConfigFile, AnAddressThatIsNoDecimalNumberIsNotCalledOutOfRange) {
    for (const char* typed : {"+32", "0x20", "3 2"}) {
        const ConfigReading reading =
            ReadConfigFile(Edited("address = 32", std::string("address = ") + typed));
        ASSERT_EQ(reading.errors.size(), 1u) << typed;
        EXPECT_EQ(reading.errors[0].problem, "is not a decimal number") << typed;
    }
}

TEST(ConfigFile, AProtocolByteTheSheetReadsByItsLowBitsSaysWhatTheSheetShows) {
    CardConfiguration configuration;
    configuration.family = FirmwareFamily::Kft015;
    configuration.image.SetValue(1, 0x1125);
    configuration.image.SetValue(2, 0x2325);
    const std::string text = FormatConfigFile(DescribeConfiguration(configuration, Named()), {});
    EXPECT_NE(text.find("protocol = raw 0x11"), std::string::npos) << text;
    EXPECT_NE(text.find("# the sheet shows MODBUS RTU\n"), std::string::npos) << text;
    EXPECT_NE(text.find("protocol = raw 0x23"), std::string::npos) << text;
    EXPECT_NE(text.find("# code the sheet does not offer\n"), std::string::npos) << text;
}

TEST(ConfigFile, AWrongTypeDoesNotHideItsThresholdErrors) {
    const ConfigReading reading = ReadConfigFile(Input1("Volts", "1.00 V", "9 X"));
    ASSERT_EQ(reading.errors.size(), 2u);
    EXPECT_EQ(reading.errors[0].field, "Input 1 type");
    EXPECT_EQ(reading.errors[1].field, "Input 1 upper");
    EXPECT_EQ(reading.errors[1].problem,
              "is a threshold of no type; it cannot be checked until the type is one of "
              "Voltage, Temperature, Percentage");
}

TEST(ConfigFile, ControlCharactersOfAFileNeverReachTheTerminal) {
    const ConfigError error{3, "COM1 baud", "1\x1B[2J", "is not in the list", "1200"};
    EXPECT_EQ(FormatConfigError("f", error),
              "f:3: COM1 baud \"1?[2J\" is not in the list; allowed: 1200");
}

// The language file names events for the comments only: an event it leaves unnamed is written
// and read as its number, "raw N" of older files still reads, and the card's values come back.
TEST(ConfigFile, EventsReadTheSameWhateverTheLanguageNamesThem) {
    const ConfigReading reading =
        ReadConfigFile(Edited("events = 1, 17", "events = 1, 32, raw 5 # unnamed"));
    ASSERT_TRUE(reading.errors.empty()) << FormatConfigError("f", reading.errors.front());
    ASSERT_TRUE(reading.configuration.has_value());
    const RegisterImage& image = reading.configuration->image;
    EXPECT_EQ(image.Value(8), 0x0011);  // Output 1: events 1 and 5
    EXPECT_EQ(image.Value(9), 0x8000);  // event 32
    for (const int unnamedFrom : {33, 30, 1}) {
        const std::string text =
            FormatConfigFile(DescribeConfiguration(*reading.configuration, Named(unnamedFrom)), {});
        EXPECT_NE(text.find("events = 1, 5, 32"), std::string::npos) << text;
        const ConfigReading again = ReadConfigFile(text);
        ASSERT_TRUE(again.configuration.has_value()) << text;
        EXPECT_EQ(*again.configuration, *reading.configuration);
    }
}

}  // namespace
