#pragma once
// Texts in options.dat and in the user account file are kept as a short text (a length
// byte and at most 255 bytes) whose bytes are XOR-ed with a 10-byte key, the key
// restarting after its tenth byte. Each file has its own key. This only keeps the texts
// from being read at a glance; it is no protection.

#include "core/value_stream.h"

#include <array>

namespace numora::settings {

using ScrambleKey = std::array<quint8, 10>;

// options.dat, the program-wide and the database one.
inline constexpr ScrambleKey kOptionsFileKey = {0x5a, 0xc3, 0x17, 0x8e, 0x61, 0xf4,
                                                0x2b, 0x9d, 0x36, 0xe0};
// users.lst.
inline constexpr ScrambleKey kUserAccountFileKey = {0xa7, 0x3c, 0xe9, 0x52, 0x1f, 0xb6,
                                                    0x84, 0x0d, 0xcb, 0x75};

// XOR with the key from its first byte on; applying it twice gives the bytes back.
QByteArray scrambled(QByteArrayView bytes, const ScrambleKey &key);

void writeScrambledText(ValueWriter &writer, const QString &text, const ScrambleKey &key);
QString readScrambledText(ValueReader &reader, const ScrambleKey &key);

} // namespace numora::settings
