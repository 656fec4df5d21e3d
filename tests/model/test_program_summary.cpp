#include "model/ProgramSummary.h"

#include <gtest/gtest.h>

#include <string>

#include "model/RegisterImage.h"

namespace {

using Cell = std::string;
const Cell kNone = "---";

const ParityNames kParityNames = {"None", "Even", "Odd"};

RegisterImage ImageOf(uint16_t r0, uint16_t r1, uint16_t r2, uint16_t r3, uint16_t r4) {
    RegisterImage image;
    image.SetValue(0, r0);
    image.SetValue(1, r1);
    image.SetValue(2, r2);
    image.SetValue(3, r3);
    image.SetValue(4, r4);
    return image;
}

TEST(ProgramSummary, TypicalCardShowsEveryField) {
    // COM0 KARVO 9600; COM1 MODBUS 19200 None 2; COM2 MODBUS 38400 Odd 2 address 17;
    // COM3 NEXPR 1200 None 1.
    const PortSummary summary =
        SummarizePorts(ImageOf(0x0104, 0x0135, 0x0176, 0x0021, 0xFF11), kParityNames);
    EXPECT_EQ(summary.protocol, (std::array<Cell, 4>{"KARVO", "MODBUS", "MODBUS", "NEXPR"}));
    EXPECT_EQ(summary.baud, (std::array<Cell, 4>{"9600", "19200", "38400", "1200"}));
    EXPECT_EQ(summary.parity, (std::array<Cell, 4>{kNone, "None", "Odd", "None"}));
    EXPECT_EQ(summary.stop, (std::array<Cell, 4>{kNone, "2", "2", "1"}));
    EXPECT_EQ(summary.address, (std::array<Cell, 4>{kNone, kNone, "17", kNone}));
}

struct BaudCase {
    int port;
    uint8_t lowByte;
    Cell expected;
};

TEST(ProgramSummary, BaudCodesEachPortKnows) {
    const BaudCase cases[] = {
        {0, 0x00, kNone},  {0, 0x01, "1200"},  {0, 0x04, "9600"},
        {0, 0x05, kNone},   // COM0 knows codes 1-4 (four bits)
        {0, 0x14, "9600"},  // only bits 0-3 count on COM0
        {1, 0x20, kNone},  {1, 0x25, "19200"}, {1, 0x26, kNone},
        {1, 0x27, kNone},  {1, 0x2D, "19200"},  // bit 3 plays no part
        {2, 0x20, kNone},  {2, 0x26, "38400"}, {2, 0x27, "57600"},
        {3, 0x23, "4800"}, {3, 0x26, kNone},
    };
    for (const BaudCase& c : cases) {
        RegisterImage image;
        image.SetLow(c.port, c.lowByte);
        EXPECT_EQ(SummarizePorts(image, kParityNames).baud[c.port], c.expected)
            << "port " << c.port << " low byte " << int{c.lowByte};
    }
}

TEST(ProgramSummary, ParityAndStopBitsOfTheLineByte) {
    struct Case {
        uint8_t lowByte;
        Cell parity;
        Cell stop;
    };
    const Case cases[] = {
        {0x01, kNone, "1"},  // parity code 0 is unknown
        {0x21, "None", "1"}, {0x41, "Even", "1"}, {0x61, "Odd", "1"},
        {0x31, "None", "2"}, {0xF1, "Odd", "2"},  // bit 7 plays no part
    };
    for (const Case& c : cases) {
        for (int port = 1; port <= 3; ++port) {
            RegisterImage image;
            image.SetLow(port, c.lowByte);
            const PortSummary summary = SummarizePorts(image, kParityNames);
            EXPECT_EQ(summary.parity[port], c.parity) << "low byte " << int{c.lowByte};
            EXPECT_EQ(summary.stop[port], c.stop) << "low byte " << int{c.lowByte};
        }
    }
}

TEST(ProgramSummary, ProtocolNonzeroLowNibbleOnly) {
    struct Case {
        uint8_t highByte;
        const char* com0;
        const char* other;
    };
    const Case cases[] = {
        {0x00, "NEXPR", "NEXPR"},  {0x01, "KARVO", "MODBUS"},
        {0x0F, "KARVO", "MODBUS"}, {0x10, "NEXPR", "NEXPR"},  // bits 4-7 are not part of the code
        {0xFF, "KARVO", "MODBUS"},
    };
    for (const Case& c : cases) {
        RegisterImage image;
        for (int port = 0; port < 4; ++port) {
            image.SetHigh(port, c.highByte);
        }
        const PortSummary summary = SummarizePorts(image, kParityNames);
        EXPECT_EQ(summary.protocol[0], c.com0);
        for (int port = 1; port < 4; ++port) {
            EXPECT_EQ(summary.protocol[port], c.other) << "high byte " << int{c.highByte};
        }
    }
}

TEST(ProgramSummary, AddressIsTheLowByteOfRegisterFourWhateverTheProtocol) {
    for (const int address : {0, 32, 224, 255}) {
        // COM2 on NEXPR (high byte 0): the address is shown all the same.
        RegisterImage image =
            ImageOf(0, 0x0021, 0x0021, 0, static_cast<uint16_t>(0xFF00 | address));
        EXPECT_EQ(SummarizePorts(image, kParityNames).address[2], std::to_string(address));
    }
}

}  // namespace
