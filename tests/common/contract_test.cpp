// The settings file's Shift-JIS keys against their bytes, made with
//   python3 -c "print(', '.join(hex(b) for b in 'BGM区分'.encode('shift_jis')))"
#include "common/contract.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <tuple>

namespace {

std::string Bytes(std::initializer_list<unsigned char> b) { return {b.begin(), b.end()}; }

TEST(Contract, ShiftJisKeysAreTheseBytes) {
  const std::tuple<const char*, std::string, std::string> rows[] = {
      {"KeyMode", contract::KeyMode, Bytes({0x42, 0x47, 0x4d, 0x8b, 0xe6, 0x95, 0xaa})},
      {"KeyRepeat", contract::KeyRepeat, Bytes({0x42, 0x47, 0x4d, 0xd8, 0xcb, 0xdf, 0xb0, 0xc4})},
      {"KeyFile", contract::KeyFile, Bytes({0x42, 0x47, 0x4d, 0xcc, 0xa7, 0xb2, 0xd9})},
  };
  for (const auto& [name, value, bytes] : rows) EXPECT_EQ(value, bytes) << name;
}

}  // namespace
