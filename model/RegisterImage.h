#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The card's 48 configuration registers, held as 96 bytes, high byte first:
// register r is byte 2r (high) followed by byte 2r+1 (low). Zero-filled when made.
class RegisterImage {
  public:
    static constexpr int kRegisterCount = 48;
    static constexpr int kByteCount = 2 * kRegisterCount;

    uint8_t High(int reg) const { return bytes_[2 * reg]; }
    uint8_t Low(int reg) const { return bytes_[2 * reg + 1]; }
    void SetHigh(int reg, uint8_t value) { bytes_[2 * reg] = value; }
    void SetLow(int reg, uint8_t value) { bytes_[2 * reg + 1] = value; }

    uint16_t Value(int reg) const { return static_cast<uint16_t>(High(reg) << 8 | Low(reg)); }
    void SetValue(int reg, uint16_t value) {
        SetHigh(reg, static_cast<uint8_t>(value >> 8));
        SetLow(reg, static_cast<uint8_t>(value & 0xFF));
    }

    uint8_t* Bytes() { return bytes_.data(); }
    const uint8_t* Bytes() const { return bytes_.data(); }

    bool operator==(const RegisterImage&) const = default;

  private:
    std::array<uint8_t, kByteCount> bytes_{};
};
