#include "resources/alarm/alarm_image.h"
#include "sound_fixture.h"

namespace {

// Buffer 1 is the primary buffer; sound 1's main buffer is buffer 2.
class SoundPlayTest : public SoundTest {
 protected:
  void SetUp() override {
    SoundTest::SetUp();
    Open();
    ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);
    Rec.Take();
  }
  FakeBuffer *Main() { return Rec.Buffer(2); }
  static SoundRecord *Record(intptr_t number) {
    return static_cast<SoundRecord *>(ObjectTableLookup(SoundLibrary.table, number));
  }
  static int Instances(intptr_t number) {
    int count = 0;
    for (void *p = Record(number)->instances; p; p = ListNext(p)) ++count;
    return count;
  }
  static FakeBuffer *InstanceBuffer(intptr_t instance) {
    return static_cast<FakeBuffer *>(*reinterpret_cast<SoundBuffer *>(instance));
  }
};

TEST_F(SoundPlayTest, PlaysOnceFromTheBeginning) {
  EXPECT_EQ(SoundPlay(1), 1);
  ExpectLog({{Op::BufferStop, 2, 0, 0}, {Op::BufferSetPosition, 2, 0, 0}, {Op::BufferPlay, 2, 0, 0}});
  EXPECT_TRUE(Main()->playing);
}

TEST_F(SoundPlayTest, LoopFlagLoopsAndOtherBitsAreIgnored) {
  const struct {
    uint32_t flags;
    int64_t playFlags;
  } rows[] = {{SoundFlagLoop, 1}, {0xFFFFFFFCu, 0}, {0xFFFFFFFDu, 1}, {4, 0}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.flags);
    EXPECT_EQ(SoundPlay(1, row.flags), 1);
    ExpectLog({{Op::BufferStop, 2, 0, 0}, {Op::BufferSetPosition, 2, 0, 0}, {Op::BufferPlay, 2, row.playFlags, 0}});
  }
}

TEST_F(SoundPlayTest, SecondPlayWhilePlayingRestartsFromTheBeginning) {
  ASSERT_EQ(SoundPlay(1), 1);
  Main()->position = 5000;  // partway through
  Rec.Take();
  EXPECT_EQ(SoundPlay(1), 1);
  EXPECT_EQ(Main()->position, 0u);
  EXPECT_TRUE(Main()->playing);
  EXPECT_EQ(Rec.LiveBuffers(), 2) << "no second copy was made";
  ExpectLog({{Op::BufferStop, 2, 0, 0}, {Op::BufferSetPosition, 2, 0, 0}, {Op::BufferPlay, 2, 0, 0}});
}

TEST_F(SoundPlayTest, RefusedPlayReturnsZeroAndLeavesTheBufferStoppedAtZero) {
  Main()->playing = true;
  Main()->position = 700;
  Rec.Fail(Op::BufferPlay);
  EXPECT_EQ(SoundPlay(1), 0);
  EXPECT_FALSE(Main()->playing);
  EXPECT_EQ(Main()->position, 0u);
}

TEST_F(SoundPlayTest, NumbersThatHoldNoSoundPlayNothing) {
  int local = 0;
  const intptr_t rows[] = {0, 2, 63, 64, 100000, -1, -5, reinterpret_cast<intptr_t>(&local),
                           reinterpret_cast<intptr_t>(Main())};
  for (intptr_t number : rows) {
    SCOPED_TRACE(number);
    EXPECT_EQ(SoundPlay(number), 0);
    EXPECT_EQ(SoundPlay(number, SoundFlagInstance), 0);
    SoundSetVolume(number, 50);
    SoundFree(number);
    ExpectLog({});
  }
}

// volume 150 is full level, -1 leaves the volume alone, every other negative
// value is silence.
TEST_F(SoundPlayTest, PlayVolumeIsClampedThroughTheVolumeTable) {
  const struct {
    int32_t volume;
    int64_t device;  // 1/100 dB; 1 means no volume call
  } rows[] = {{150, 0},  {101, 0},      {100, 0},      {99, -9},       {75, -250},     {50, -603},
              {25, -1205}, {10, -2000}, {2, -3398},    {1, -4000},     {0, -10000},    {-5, -10000},
              {-2, -10000}, {INT32_MIN, -10000}, {INT32_MAX, 0}, {-1, 1}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.volume);
    EXPECT_EQ(SoundPlay(1, 0, row.volume), 1);
    std::vector<Call> expected = {{Op::BufferStop, 2, 0, 0}, {Op::BufferSetPosition, 2, 0, 0}};
    if (row.device != 1) expected.push_back({Op::BufferSetVolume, 2, row.device, 0});
    expected.push_back({Op::BufferPlay, 2, 0, 0});
    ExpectLog(expected);
  }
}

TEST_F(SoundPlayTest, SetVolumeOfTheMainBufferFollowsTheTable) {
  std::vector<int64_t> levels;
  for (int v = 0; v <= 100; ++v) {
    SoundSetVolume(1, v);
    std::vector<Call> log = Rec.Take();
    ASSERT_EQ(log.size(), 1u) << v;
    EXPECT_EQ(log[0].op, Op::BufferSetVolume);
    EXPECT_EQ(log[0].buffer, 2);
    levels.push_back(log[0].a);
  }
  EXPECT_EQ(levels[0], -10000);
  EXPECT_EQ(levels[100], 0);
  for (size_t v = 1; v < levels.size(); ++v) EXPECT_GT(levels[v], levels[v - 1]) << v;
  EXPECT_EQ(Main()->volume, 0);
}

// SoundSetVolume gives -1 no meaning of its own: it is below 0, so silence.
TEST_F(SoundPlayTest, SetVolumeClampsIntoZeroToOneHundred) {
  const struct {
    int32_t volume;
    int64_t device;
  } rows[] = {{-1, -10000}, {-5, -10000}, {INT32_MIN, -10000}, {101, 0}, {150, 0}, {INT32_MAX, 0}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.volume);
    SoundSetVolume(1, row.volume);
    ExpectLog({{Op::BufferSetVolume, 2, row.device, 0}});
  }
}

// ---- Instances ----

TEST_F(SoundPlayTest, ThreeInstancesPlayTogetherAndLeaveTheMainBufferAlone) {
  intptr_t handles[3];
  for (int i = 0; i < 3; ++i) {
    handles[i] = SoundPlay(1, SoundFlagInstance);
    ASSERT_NE(handles[i], 0);
  }
  EXPECT_NE(handles[0], handles[1]);
  EXPECT_NE(handles[1], handles[2]);
  EXPECT_NE(handles[0], handles[2]);
  std::vector<Call> expected;
  for (int b = 3; b <= 5; ++b) {
    // Older instances are asked whether they still play, newest first.
    for (int older = b - 1; older >= 3; --older) expected.push_back({Op::BufferGetStatus, older, 0, 0});
    expected.push_back({Op::DeviceDuplicateBuffer, b, 2, 0});
    expected.push_back({Op::BufferSetFrequency, b, 11025, 0});
    expected.push_back({Op::BufferSetPan, b, -300, 0});
    expected.push_back({Op::BufferSetVolume, b, -1200, 0});
    expected.push_back({Op::BufferPlay, b, 0, 0});
  }
  ExpectLog(expected);
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    FakeBuffer *buffer = InstanceBuffer(handles[i]);
    EXPECT_EQ(buffer->index, 3 + i);
    EXPECT_EQ(buffer->source, 2);
    EXPECT_TRUE(buffer->playing);
  }
  EXPECT_FALSE(Main()->playing);
  EXPECT_EQ(Instances(1), 3);
}

TEST_F(SoundPlayTest, FinishedInstancesAreReleasedByTheNextInstancePlay) {
  intptr_t a = SoundPlay(1, SoundFlagInstance);  // buffer 3
  intptr_t b = SoundPlay(1, SoundFlagInstance);  // buffer 4
  intptr_t c = SoundPlay(1, SoundFlagInstance);  // buffer 5
  ASSERT_TRUE(a && b && c);
  for (int i = 3; i <= 5; ++i) Rec.Buffer(i)->playing = false;
  int64_t blocks = LiveHeapBlocks();
  Rec.Take();
  intptr_t d = SoundPlay(1, SoundFlagInstance);  // buffer 6
  ASSERT_NE(d, 0);
  ExpectLog({
      {Op::BufferGetStatus, 5, 0, 0},
      {Op::BufferRelease, 5, 0, 0},
      {Op::BufferGetStatus, 4, 0, 0},
      {Op::BufferRelease, 4, 0, 0},
      {Op::BufferGetStatus, 3, 0, 0},
      {Op::BufferRelease, 3, 0, 0},
      {Op::DeviceDuplicateBuffer, 6, 2, 0},
      {Op::BufferSetFrequency, 6, 11025, 0},
      {Op::BufferSetPan, 6, -300, 0},
      {Op::BufferSetVolume, 6, -1200, 0},
      {Op::BufferPlay, 6, 0, 0},
  });
  EXPECT_EQ(Instances(1), 1);
  EXPECT_EQ(LiveHeapBlocks(), blocks - 2) << "three nodes freed, one made";
  // The released handles name nothing any more, unless the new node took
  // the place of one of them.
  for (intptr_t old : {a, b, c})
    if (old != d) SoundSetVolume(1, 50, old);
  ExpectLog({});
}

TEST_F(SoundPlayTest, OnlyFinishedInstancesAreReleased) {
  intptr_t a = SoundPlay(1, SoundFlagInstance);                 // buffer 3
  intptr_t looping = SoundPlay(1, SoundFlagInstance | SoundFlagLoop);  // buffer 4
  intptr_t c = SoundPlay(1, SoundFlagInstance);                 // buffer 5
  ASSERT_TRUE(a && looping && c);
  EXPECT_EQ(Rec.Buffer(4)->playFlags, SoundPlayLooping);
  Rec.Buffer(3)->playing = false;
  Rec.Buffer(5)->playing = false;
  Rec.Fail(Op::BufferGetStatus);  // a failed status call reads as finished...
  Rec.Buffer(4)->playing = true;
  Rec.Fail(Op::BufferGetStatus, false);  // ...but this one answers
  ASSERT_NE(SoundPlay(1, SoundFlagInstance), 0);  // buffer 6
  EXPECT_TRUE(Rec.Buffer(3)->released);
  EXPECT_FALSE(Rec.Buffer(4)->released);
  EXPECT_TRUE(Rec.Buffer(5)->released);
  EXPECT_EQ(Instances(1), 2);
  SoundSetVolume(1, 100, looping);
  EXPECT_EQ(Rec.Buffer(4)->volume, 0);
}

TEST_F(SoundPlayTest, FailedStatusCallCountsAsFinished) {
  ASSERT_NE(SoundPlay(1, SoundFlagInstance), 0);  // buffer 3, playing
  Rec.Fail(Op::BufferGetStatus);
  ASSERT_NE(SoundPlay(1, SoundFlagInstance), 0);  // buffer 4
  EXPECT_TRUE(Rec.Buffer(3)->released);
  EXPECT_EQ(Instances(1), 1);
}

TEST_F(SoundPlayTest, InstanceStartsFromTheSoundsOriginalVolume) {
  SoundSetVolume(1, 10);  // the main buffer only
  EXPECT_EQ(Main()->volume, -2000);
  intptr_t plain = SoundPlay(1, SoundFlagInstance);
  ASSERT_NE(plain, 0);
  EXPECT_EQ(InstanceBuffer(plain)->volume, -1200);
  Rec.Take();
  intptr_t loud = SoundPlay(1, SoundFlagInstance, 150);  // buffer 4
  ASSERT_NE(loud, 0);
  ExpectLog({
      {Op::BufferGetStatus, 3, 0, 0},
      {Op::DeviceDuplicateBuffer, 4, 2, 0},
      {Op::BufferSetFrequency, 4, 11025, 0},
      {Op::BufferSetPan, 4, -300, 0},
      {Op::BufferSetVolume, 4, 0, 0},
      {Op::BufferPlay, 4, 0, 0},
  });
  EXPECT_EQ(Main()->volume, -2000);
}

TEST_F(SoundPlayTest, InstancePlayResultIsNotLookedAt) {
  Rec.Fail(Op::BufferPlay);
  intptr_t instance = SoundPlay(1, SoundFlagInstance);
  EXPECT_NE(instance, 0);
  EXPECT_EQ(Instances(1), 1);
}

TEST_F(SoundPlayTest, FailedDuplicateLeavesOnlyTheInstancesThatStillPlay) {
  intptr_t a = SoundPlay(1, SoundFlagInstance);  // buffer 3, finished below
  intptr_t b = SoundPlay(1, SoundFlagInstance);  // buffer 4, still playing
  ASSERT_TRUE(a && b);
  Rec.Buffer(3)->playing = false;
  int64_t blocks = LiveHeapBlocks();
  Rec.Fail(Op::DeviceDuplicateBuffer);
  Rec.Take();
  EXPECT_EQ(SoundPlay(1, SoundFlagInstance), 0);
  ExpectLog({
      {Op::BufferGetStatus, 4, 0, 0},
      {Op::BufferGetStatus, 3, 0, 0},
      {Op::BufferRelease, 3, 0, 0},
      {Op::DeviceDuplicateBuffer, 0, 2, 0},
  });
  EXPECT_EQ(Instances(1), 1);
  EXPECT_EQ(LiveHeapBlocks(), blocks - 1) << "the finished node went, the new one too";
  SoundSetVolume(1, 0, b);
  EXPECT_EQ(Rec.Buffer(4)->volume, -10000);
}

TEST_F(SoundPlayTest, SetVolumeReachesOnlyThisSoundsInstances) {
  ASSERT_NE(SoundFromMemory(2, AlarmImage), 0);  // buffer 3
  intptr_t mine = SoundPlay(1, SoundFlagInstance);     // buffer 4
  intptr_t theirs = SoundPlay(2, SoundFlagInstance);   // buffer 5
  ASSERT_TRUE(mine && theirs);
  Rec.Take();
  SoundSetVolume(1, 50, theirs);  // another sound's instance: nothing
  SoundSetVolume(1, 50, reinterpret_cast<intptr_t>(Main()));  // not an instance handle
  SoundSetVolume(1, 50, -1);
  ExpectLog({});
  SoundSetVolume(1, 50, mine);
  SoundSetVolume(2, -5, theirs);
  SoundSetVolume(1, 75);
  ExpectLog({
      {Op::BufferSetVolume, 4, -603, 0},
      {Op::BufferSetVolume, 5, -10000, 0},
      {Op::BufferSetVolume, 2, -250, 0},
  });
}

// ---- SoundFree ----

TEST_F(SoundPlayTest, FreeReleasesInstancesNewestFirstThenTheMainBuffer) {
  ASSERT_NE(SoundPlay(1, SoundFlagInstance), 0);  // buffer 3
  ASSERT_NE(SoundPlay(1, SoundFlagInstance), 0);  // buffer 4
  Rec.Take();
  SoundFree(1);
  ExpectLog({{Op::BufferRelease, 4, 0, 0}, {Op::BufferRelease, 3, 0, 0}, {Op::BufferRelease, 2, 0, 0}});
  EXPECT_EQ(Record(1), nullptr);
  EXPECT_EQ(SoundPlay(1), 0);
  SoundFree(1);
  ExpectLog({});
}

TEST_F(SoundPlayTest, FreeOfAnAutoNumberSoundUnlinksIt) {
  intptr_t automatic = SoundFromMemory(AutoNumber, AlarmImage);  // buffer 3
  ASSERT_NE(automatic, 0);
  int64_t blocks = LiveHeapBlocks();
  Rec.Take();
  SoundFree(automatic);
  ExpectLog({{Op::BufferRelease, 3, 0, 0}});
  EXPECT_EQ(LiveHeapBlocks(), blocks - 1);
  EXPECT_EQ(SoundPlay(automatic), 0);
  EXPECT_EQ(SoundPlay(1), 1) << "sound 1 is untouched";
}

}  // namespace
