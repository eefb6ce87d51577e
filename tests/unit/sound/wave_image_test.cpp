#include <string.h>

#include <random>

#include "resources/alarm/alarm_image.h"
#include "resources/alarm/alarm_wave.h"
#include "sound_fixture.h"

namespace {

const Bytes Samples = {0x80, 0x90, 0xA0, 0x90};

// ---- The built-in image ----

TEST(AlarmImage, HeaderIsTheDocumentedLayout) {
  const struct {
    size_t offset;
    uint32_t value;
    int size;
  } rows[] = {
      {4, 10156, 4},  {16, 16, 4},    {20, 1, 2},   {22, 1, 2},     {24, 11025, 4},
      {28, 11025, 4}, {32, 1, 2},     {34, 8, 2},   {40, 10119, 4},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.offset);
    uint32_t value = AlarmImage[row.offset] | AlarmImage[row.offset + 1] << 8;
    if (row.size == 4) value |= static_cast<uint32_t>(AlarmImage[row.offset + 2] << 16 | AlarmImage[row.offset + 3] << 24);
    EXPECT_EQ(value, row.value);
  }
  EXPECT_EQ(memcmp(AlarmImage, "RIFF", 4), 0);
  EXPECT_EQ(memcmp(AlarmImage + 8, "WAVE", 4), 0);
  EXPECT_EQ(memcmp(AlarmImage + 12, "fmt ", 4), 0);
  EXPECT_EQ(memcmp(AlarmImage + 36, "data", 4), 0);
  EXPECT_EQ(sizeof AlarmImage, 10164u);
  EXPECT_EQ(AlarmImage[10163], 0) << "pad byte";
}

// Audible, unclipped, and starting and ending at the centre line so that
// playback neither begins nor ends with a click.
TEST(AlarmImage, SamplesAreAnUnclippedAudibleChime) {
  const unsigned char *samples = AlarmImage + 44;
  int lowest = 255, highest = 0;
  for (int i = 0; i < 10119; ++i) {
    lowest = samples[i] < lowest ? samples[i] : lowest;
    highest = samples[i] > highest ? samples[i] : highest;
  }
  EXPECT_GT(lowest, 0);
  EXPECT_LT(highest, 255);
  EXPECT_GT(highest - 128, 64);
  EXPECT_GT(128 - lowest, 64);
  for (int i : {0, 1, 10117, 10118}) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(samples[i], 128, 2);
  }
}

// The program's data holds the image packed. Compared with alarm.wav as it
// stands: the image as expanded before main, then expanded again into a
// cleared buffer, as the clock does it.
TEST(AlarmImage, ExpandsToAlarmWavByteForByte) {
  const auto firstDifference = [] {
    for (size_t i = 0; i < sizeof AlarmImage; ++i) {
      if (AlarmImage[i] != AlarmWave[i]) return static_cast<long>(i);
    }
    return -1L;
  };
  EXPECT_EQ(firstDifference(), -1) << "first differing byte, as expanded before main";
  memset(AlarmImage, 0, sizeof AlarmImage);
  AlarmImageExpand();
  EXPECT_EQ(firstDifference(), -1) << "first differing byte, expanded again";
}

// ---- Parser ----

struct ParseRow {
  const char *name;
  Bytes image;
  bool ok;
  size_t dataOffset;  // when ok
  uint32_t dataSize;
  uint32_t formatSize;
};

void CheckParse(const ParseRow &row) {
  SCOPED_TRACE(row.name);
  // An exact-size copy, so that a read past the end shows under ASan.
  std::vector<unsigned char> copy(row.image);
  SoundWave wave = {};
  int ok = SoundParseWave(copy.data(), copy.size(), &wave);
  ASSERT_EQ(ok != 0, row.ok);
  if (!ok) return;
  EXPECT_EQ(static_cast<const unsigned char *>(wave.format), copy.data() + 20);
  EXPECT_EQ(wave.formatSize, row.formatSize);
  EXPECT_EQ(wave.data, copy.data() + row.dataOffset);
  EXPECT_EQ(wave.dataSize, row.dataSize);
}

// The image with the four bytes at offset replaced.
Bytes Retag(Bytes image, size_t offset, const char *id) {
  memcpy(image.data() + offset, id, 4);
  return image;
}

// The image with the 32-bit field at offset replaced.
Bytes Resize(Bytes image, size_t offset, uint32_t value) {
  Bytes le = Le32(value);
  memcpy(image.data() + offset, le.data(), 4);
  return image;
}

TEST(SoundParseWave, FindsFormatAndDataAcrossChunkLayouts) {
  const Bytes pcm = Pcm8Mono();
  const Bytes pcmEx = Cat({pcm, Le16(0)});  // 18-byte WAVEFORMATEX
  const Bytes odd = {1, 2, 3};
  const Bytes list = Chunk("LIST", Cat({Tag("INFO"), Chunk("INAM", {'a', 'b', 0, 0})}));
  const ParseRow rows[] = {
      {"fmt then data", Riff({Chunk("fmt ", pcm), Chunk("data", Samples)}), true, 44, 4, 16},
      {"18-byte format moves the data search to 38", Riff({Chunk("fmt ", pcmEx), Chunk("data", Samples)}), true,
       46, 4, 18},
      {"a LIST chunk before data is skipped", Riff({Chunk("fmt ", pcm), list, Chunk("data", Samples)}), true,
       36 + list.size() + 8, 4, 16},
      {"two other chunks before data", Riff({Chunk("fmt ", pcm), Chunk("fact", Le32(4)), list, Chunk("data", Samples)}),
       true, 36 + 12 + list.size() + 8, 4, 16},
      {"an odd-sized chunk is followed by a pad byte",
       Riff({Chunk("fmt ", pcm), Chunk("junk", odd), Chunk("data", Samples)}), true, 36 + 12 + 8, 4, 16},
      {"odd-sized format chunk and its pad", Riff({Chunk("fmt ", Cat({pcm, {0}})), Chunk("data", Samples)}), true,
       46, 4, 17},
      {"odd-sized data at the end", Riff({Chunk("fmt ", pcm), Chunk("data", odd)}), true, 44, 3, 16},
      {"odd-sized data without its pad", Riff({Chunk("fmt ", pcm), ChunkSized("data", 3, odd)}), true, 44, 3, 16},
      {"empty data", Riff({Chunk("fmt ", pcm), Chunk("data", {})}), true, 44, 0, 16},
      {"IEEE float format with cbSize 0",
       Riff({Chunk("fmt ", Cat({Le16(3), Le16(1), Le32(8000), Le32(32000), Le16(4), Le16(32), Le16(0)})),
             Chunk("data", Samples)}),
       true, 46, 4, 18},
      {"extensible format with its 22 extra bytes",
       Riff({Chunk("fmt ", Cat({Le16(0xFFFE), Le16(1), Le32(8000), Le32(8000), Le16(1), Le16(8), Le16(22),
                                Bytes(22, 0)})),
             Chunk("data", Samples)}),
       true, 68, 4, 40},
      {"form type is not read", Retag(Riff({Chunk("fmt ", pcm), Chunk("data", Samples)}), 8, "AVI "), true, 44, 4,
       16},
      {"bytes after the RIFF end are ignored", Cat({Riff({Chunk("fmt ", pcm), Chunk("data", Samples)}), Bytes(9, 0xEE)}),
       true, 44, 4, 16},
  };
  for (const ParseRow &row : rows) CheckParse(row);
}

TEST(SoundParseWave, RejectsWhatIsNotAWellFormedWave) {
  const Bytes pcm = Pcm8Mono();
  const Bytes good = Riff({Chunk("fmt ", pcm), Chunk("data", Samples)});
  const ParseRow rows[] = {
      {"RIFX (big-endian)", Retag(good, 0, "RIFX"), false, 0, 0, 0},
      {"lower-case riff", Retag(good, 0, "riff"), false, 0, 0, 0},
      {"first chunk is not fmt, a format chunk follows later",
       Riff({Chunk("LIST", Tag("INFO")), Chunk("fmt ", pcm), Chunk("data", Samples)}), false, 0, 0, 0},
      {"first chunk is data", Riff({Chunk("data", Samples), Chunk("fmt ", pcm)}), false, 0, 0, 0},
      {"no data chunk", Riff({Chunk("fmt ", pcm), Chunk("LIST", Tag("INFO"))}), false, 0, 0, 0},
      {"nothing after the format chunk", Riff({Chunk("fmt ", pcm)}), false, 0, 0, 0},
      {"data larger than the image", Riff({Chunk("fmt ", pcm), ChunkSized("data", 5, Samples)}), false, 0, 0, 0},
      {"data size near 4 GiB", Riff({Chunk("fmt ", pcm), ChunkSized("data", 0xFFFFFFFF, Samples)}), false, 0, 0, 0},
      {"a chunk that walks past the end",
       Riff({Chunk("fmt ", pcm), ChunkSized("junk", 100, {}), Chunk("data", Samples)}), false, 0, 0, 0},
      {"a chunk size that wraps a 32-bit offset",
       Riff({Chunk("fmt ", pcm), ChunkSized("junk", 0xFFFFFFF8, {}), Chunk("data", Samples)}), false, 0, 0, 0},
      {"format size past the end", Resize(good, 16, 0xFFFFFFF0), false, 0, 0, 0},
      {"data chunk outside the RIFF size", Resize(good, 4, 4 + 24), false, 0, 0, 0},
      {"RIFF size cuts the data short", Resize(good, 4, 4 + 24 + 8 + 3), false, 0, 0, 0},
      {"14-byte format (no bit depth)", Riff({Chunk("fmt ", Bytes(pcm.begin(), pcm.begin() + 14)), Chunk("data", Samples)}),
       false, 0, 0, 0},
      {"empty format", Riff({Chunk("fmt ", {}), Chunk("data", Samples)}), false, 0, 0, 0},
      {"non-PCM format of 16 bytes has no cbSize",
       Riff({Chunk("fmt ", Cat({Le16(3), Bytes(pcm.begin() + 2, pcm.end())})), Chunk("data", Samples)}), false, 0, 0,
       0},
      {"cbSize larger than the format chunk",
       Riff({Chunk("fmt ", Cat({Le16(0xFFFE), Bytes(pcm.begin() + 2, pcm.end()), Le16(22)})), Chunk("data", Samples)}),
       false, 0, 0, 0},
      {"only a RIFF header", Cat({Tag("RIFF"), Le32(4), Tag("WAVE")}), false, 0, 0, 0},
      {"empty", {}, false, 0, 0, 0},
  };
  for (const ParseRow &row : rows) CheckParse(row);
  SoundWave wave;
  EXPECT_EQ(SoundParseWave(nullptr, 100, &wave), 0);
}

// Every shorter prefix of the built-in image lacks part of its data, except
// the one that lacks only the pad byte after it.
TEST(SoundParseWave, TruncatedBuiltInImageOfEveryLength) {
  for (size_t length = 0; length <= sizeof AlarmImage; ++length) {
    std::vector<unsigned char> copy(AlarmImage, AlarmImage + length);
    SoundWave wave = {};
    int ok = SoundParseWave(copy.data(), length, &wave);
    if (ok != (length >= 10163 ? 1 : 0)) ADD_FAILURE() << "length " << length << " gave " << ok;
  }
  SoundWave wave = {};
  ASSERT_EQ(SoundParseWave(AlarmImage, sizeof AlarmImage, &wave), 1);
  EXPECT_EQ(wave.data, AlarmImage + 44);
  EXPECT_EQ(wave.dataSize, 10119u);
  EXPECT_EQ(wave.formatSize, 16u);
}

// Random damage to a small image: whatever the parser accepts lies inside it.
TEST(SoundParseWave, DamagedImagesStayInside) {
  const Bytes good = Riff({Chunk("fmt ", Pcm8Mono()), Chunk("LIST", Tag("INFO")), Chunk("junk", {7}),
                           Chunk("data", Samples)});
  std::mt19937 random(12345);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<unsigned char> image(good);
    for (int hits = 1 + static_cast<int>(random() % 3); hits > 0; --hits)
      image[4 + random() % (image.size() - 4)] = static_cast<unsigned char>(random());
    image.resize(random() % (image.size() + 1));
    SoundWave wave = {};
    if (!SoundParseWave(image.data(), image.size(), &wave)) continue;
    ++accepted;
    const unsigned char *begin = image.data(), *end = image.data() + image.size();
    ASSERT_GE(wave.data, begin) << "round " << round;
    ASSERT_LE(wave.data + wave.dataSize, end) << "round " << round;
    ASSERT_LE(static_cast<const unsigned char *>(wave.format) + wave.formatSize, end) << "round " << round;
  }
  EXPECT_GT(accepted, 0);
}

// ---- SoundFromMemory ----

using SoundFromMemoryTest = SoundTest;

TEST_F(SoundFromMemoryTest, BuiltInImageMakesOneFilledBuffer) {
  Open();
  intptr_t result = SoundFromMemory(1, AlarmImage);
  ASSERT_NE(result, 0);
  FakeBuffer *buffer = Rec.Buffer(2);
  EXPECT_EQ(result, reinterpret_cast<intptr_t>(buffer)) << "an explicit number gives the buffer";
  ExpectLog({
      {Op::DeviceCreateBuffer, 2, 0x180E2, 10119},
      {Op::BufferLock, 2, 10119, 0},
      {Op::BufferGetPan, 2, 0, 0},
      {Op::BufferGetFrequency, 2, 0, 0},
      {Op::BufferGetVolume, 2, 0, 0},
      {Op::BufferUnlock, 2, 10119, 0},
  });
  EXPECT_EQ(buffer->format, Bytes(AlarmImage + 20, AlarmImage + 36));
  EXPECT_EQ(*buffer->data, Bytes(AlarmImage + 44, AlarmImage + 44 + 10119));
  EXPECT_FALSE(buffer->locked);
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, 1));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->buffer, buffer);
  EXPECT_EQ(record->instances, nullptr);
  EXPECT_EQ(record->pan, Rec.newPan);
  EXPECT_EQ(record->frequency, 11025u);
  EXPECT_EQ(record->volume, Rec.newVolume);
}

TEST_F(SoundFromMemoryTest, AutoNumberReturnsTheSoundsHandle) {
  Open();
  intptr_t first = SoundFromMemory(AutoNumber, AlarmImage);
  intptr_t second = SoundFromMemory(AutoNumber, AlarmImage);
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  EXPECT_NE(first, second);
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, first));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(reinterpret_cast<intptr_t>(record), first);
  EXPECT_EQ(record->buffer, Rec.Buffer(2));
  EXPECT_EQ(SoundPlay(second), 1);
}

TEST_F(SoundFromMemoryTest, TheImageLengthComesFromItsRiffSize) {
  Open();
  // Bytes after the RIFF end are never read, even when they look like data.
  Bytes image = Riff({Chunk("fmt ", Pcm8Mono()), Chunk("LIST", Tag("INFO"))});
  Bytes tail = Chunk("data", Samples);
  image.insert(image.end(), tail.begin(), tail.end());
  EXPECT_EQ(SoundFromMemory(1, image.data()), 0);
  ExpectLog({});
  Bytes good = Riff({Chunk("fmt ", Pcm8Mono()), Chunk("data", Samples)});
  EXPECT_NE(SoundFromMemory(1, good.data()), 0);
  EXPECT_EQ(*Rec.Buffer(2)->data, Samples);
}

TEST_F(SoundFromMemoryTest, RejectedImagesRegisterNothing) {
  Open();
  const Bytes pcm = Pcm8Mono();
  const struct {
    const char *name;
    Bytes image;
  } rows[] = {
      {"RIFX", Retag(Riff({Chunk("fmt ", pcm), Chunk("data", Samples)}), 0, "RIFX")},
      {"first chunk not fmt", Riff({Chunk("LIST", Tag("INFO")), Chunk("fmt ", pcm), Chunk("data", Samples)})},
      {"no data", Riff({Chunk("fmt ", pcm)})},
      {"data larger than the image", Riff({Chunk("fmt ", pcm), ChunkSized("data", 4000, Samples)})},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(SoundFromMemory(1, row.image.data()), 0);
    ExpectLog({});
  }
  EXPECT_EQ(SoundFromMemory(1, nullptr), 0);
  ExpectLog({});
  // An empty data chunk parses, but the device refuses a buffer of no bytes.
  EXPECT_EQ(SoundFromMemory(1, Riff({Chunk("fmt ", pcm), Chunk("data", {})}).data()), 0);
  ExpectLog({{Op::DeviceCreateBuffer, 0, 0x180E2, 0}});
  EXPECT_EQ(SoundPlay(1), 0);
}

TEST_F(SoundFromMemoryTest, NegativeNumbersOtherThanAutoNumberMakeNothing) {
  Open();
  for (intptr_t number : {intptr_t{-2}, intptr_t{-5}, INTPTR_MIN}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(SoundFromMemory(number, AlarmImage), 0);
    ExpectLog({});
  }
}

TEST_F(SoundFromMemoryTest, ReuseFreesTheEarlierSoundAfterTheNewOneIsFilled) {
  Open();
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);        // buffer 2
  ASSERT_NE(SoundPlay(1, SoundFlagInstance), 0);       // buffer 3
  Rec.Take();
  Bytes other = Riff({Chunk("fmt ", Pcm8Mono(22050)), Chunk("data", Samples)});
  intptr_t result = SoundFromMemory(1, other.data());  // buffer 4
  ASSERT_EQ(result, reinterpret_cast<intptr_t>(Rec.Buffer(4)));
  ExpectLog({
      {Op::DeviceCreateBuffer, 4, 0x180E2, 4},
      {Op::BufferLock, 4, 4, 0},
      {Op::BufferRelease, 3, 0, 0},
      {Op::BufferRelease, 2, 0, 0},
      {Op::BufferGetPan, 4, 0, 0},
      {Op::BufferGetFrequency, 4, 0, 0},
      {Op::BufferGetVolume, 4, 0, 0},
      {Op::BufferUnlock, 4, 4, 0},
  });
  int sounds = 0;
  intptr_t number = -1;
  ObjectTableRewind(SoundLibrary.table);
  while (ObjectTableNext(SoundLibrary.table, &number)) ++sounds;
  EXPECT_EQ(sounds, 1);
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, 1));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->buffer, Rec.Buffer(4));
  EXPECT_EQ(record->frequency, 22050u);
  EXPECT_EQ(record->instances, nullptr);
}

// A device failure while making the new sound leaves the old one as it was
// and leaks no buffer.
TEST_F(SoundFromMemoryTest, FailureLeavesAnExistingSoundUntouched) {
  struct Row {
    const char *name;
    Op fail;
    uint32_t lockShortBy;
    std::vector<Call> log;
  };
  const Row rows[] = {
      {"buffer refused", Op::DeviceCreateBuffer, 0, {{Op::DeviceCreateBuffer, 0, 0x180E2, 10119}}},
      {"lock refused", Op::BufferLock, 0,
       {{Op::DeviceCreateBuffer, 3, 0x180E2, 10119}, {Op::BufferLock, 3, 10119, 0}, {Op::BufferRelease, 3, 0, 0}}},
      {"locked region too small", Op::Count, 1,
       {{Op::DeviceCreateBuffer, 3, 0x180E2, 10119},
        {Op::BufferLock, 3, 10119, 0},
        {Op::BufferUnlock, 3, 10118, 0},
        {Op::BufferRelease, 3, 0, 0}}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Rec.Reset();
    SoundUseDevice(&RecordingDevice);
    Open();
    ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);  // buffer 2
    Rec.Take();
    if (row.fail != Op::Count) Rec.Fail(row.fail);
    Rec.lockShortBy = row.lockShortBy;
    EXPECT_EQ(SoundFromMemory(1, AlarmImage), 0);
    ExpectLog(row.log);
    EXPECT_EQ(Rec.LiveBuffers(), 2) << "the primary buffer and sound 1";
    SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, 1));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->buffer, Rec.Buffer(2));
    if (row.fail != Op::Count) Rec.Fail(row.fail, false);
    EXPECT_EQ(SoundPlay(1), 1);
  }
}

TEST_F(SoundFromMemoryTest, FailingSettingReadsLeaveNeutralSettings) {
  Open();
  Rec.Fail(Op::BufferGetPan);
  Rec.Fail(Op::BufferGetFrequency);
  Rec.Fail(Op::BufferGetVolume);
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);
  SoundRecord *record = static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, 1));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->pan, 0);
  EXPECT_EQ(record->frequency, 0u);
  EXPECT_EQ(record->volume, 0);
}

TEST_F(SoundFromMemoryTest, BeforeInitMakesNothing) {
  EXPECT_EQ(SoundFromMemory(1, AlarmImage), 0);
  EXPECT_EQ(SoundFromMemory(AutoNumber, AlarmImage), 0);
  ExpectLog({});
}

}  // namespace
