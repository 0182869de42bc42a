#include "media/byte_reader.h"

#include <gtest/gtest.h>

namespace sonavid::media {
namespace {

constexpr std::string_view kBytes("\x01\x02\x03\x04\x05\x06\x07\x08\x09", 9);

TEST(ByteReaderTest, ReadsBothByteOrdersAndStopsAtTheEnd) {
  ByteReader in(kBytes);
  EXPECT_EQ(in.u16le(), 0x0201);
  EXPECT_EQ(in.u16be(), 0x0304);
  EXPECT_EQ(in.u24be(), 0x050607u);
  EXPECT_TRUE(in.has(2));
  EXPECT_FALSE(in.has(3));
  // A read past the end gives zero, reads nothing and fails every later read, even a short one.
  EXPECT_EQ(in.u32le(), 0u);
  EXPECT_TRUE(in.failed());
  EXPECT_EQ(in.position(), 7u);
  EXPECT_EQ(in.u8(), 0);
  EXPECT_FALSE(in.has(0));
}

TEST(ByteReaderTest, SizesThatDoNotFitFailWithoutWrapping) {
  struct Case {
    const char* what;
    void (*step)(ByteReader&);
  };
  const Case cases[] = {
      {"seek past the end", [](ByteReader& in) { in.seek(10); }},
      {"skip of SIZE_MAX", [](ByteReader& in) { in.skip(SIZE_MAX); }},
      {"bytes of SIZE_MAX", [](ByteReader& in) { EXPECT_TRUE(in.bytes(SIZE_MAX).empty()); }},
      {"sub of more than remains", [](ByteReader& in) { EXPECT_TRUE(in.sub(10).failed()); }},
      {"u64 over 9 bytes after one", [](ByteReader& in) { in.u8(), in.u64be(), in.u8(); }},
  };
  for (const Case& c : cases) {
    ByteReader in(kBytes);
    c.step(in);
    EXPECT_TRUE(in.failed()) << c.what;
    EXPECT_LE(in.position(), kBytes.size()) << c.what;
  }
}

TEST(ByteReaderTest, SubReaderSeesOnlyItsBytes) {
  ByteReader in(kBytes);
  in.skip(2);
  ByteReader part = in.sub(3);
  EXPECT_EQ(in.position(), 5u);
  EXPECT_EQ(part.rest(), kBytes.substr(2, 3));
  EXPECT_EQ(part.u32be(), 0u);
  EXPECT_TRUE(part.failed());
  EXPECT_TRUE(in.ok());
}

}  // namespace
}  // namespace sonavid::media
