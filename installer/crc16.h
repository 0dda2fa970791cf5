#pragma once
// CRC-16 with polynomial 0x1021, initial value 0, most significant bit first
// and no final exclusive or (CRC-16/XMODEM), table-driven.

#include <array>
#include <cstddef>
#include <cstdint>

constexpr std::array<uint16_t, 256> MakeCrc16Table() {
    std::array<uint16_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        uint16_t crc = static_cast<uint16_t>(i << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
        table[i] = crc;
    }
    return table;
}

inline constexpr std::array<uint16_t, 256> kCrc16Table = MakeCrc16Table();

inline uint16_t Crc16Update(uint16_t crc, uint8_t byte) {
    return static_cast<uint16_t>(kCrc16Table[((crc >> 8) ^ byte) & 0xFF] ^ ((crc & 0xFF) << 8));
}

inline uint16_t Crc16(const uint8_t* bytes, size_t count) {
    uint16_t crc = 0;
    for (size_t i = 0; i < count; ++i) {
        crc = Crc16Update(crc, bytes[i]);
    }
    return crc;
}
