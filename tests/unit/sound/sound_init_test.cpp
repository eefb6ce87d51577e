#include "sound_fixture.h"

#include "resources/alarm/alarm_image.h"

namespace {

// Buffer 1 is the primary buffer that start-up creates.
const std::vector<Call> Opening = {
    {Op::WindowMake, 0, 0, 0},
    {Op::LibraryLoad, 0, 0, 0},
    {Op::LibraryEntry, 0, FakeLibrary, 0},
    {Op::DeviceCreate, 0, FakeEntry, 0},
    {Op::DeviceSetLevel, 0, FakeWindow, 2},
    {Op::DeviceCreateBuffer, 1, 1, 0},
};

using SoundInitTest = SoundTest;

TEST_F(SoundInitTest, OpensInOrderAndReturnsTheSoundTable) {
  intptr_t table = SoundInit();
  ASSERT_NE(table, 0);
  ExpectLog(Opening);
  EXPECT_EQ(reinterpret_cast<ObjectTable *>(table), SoundLibrary.table);
  ObjectTable *t = SoundLibrary.table;
  EXPECT_EQ(t->recordSize, static_cast<int32_t>(sizeof(SoundRecord)));
  EXPECT_EQ(t->growStep, 64);
  EXPECT_EQ(t->capacity, 64);
  EXPECT_EQ(t->freeHook, &SoundFree);
  EXPECT_EQ(Rec.Buffer(1)->flags, SoundBufferPrimary);
  EXPECT_EQ(Rec.Buffer(1)->bytes, 0u);
  EXPECT_TRUE(Rec.Buffer(1)->format.empty());
}

TEST_F(SoundInitTest, SecondCallReturnsTheSameTableWithoutTouchingTheDevice) {
  intptr_t first = SoundInit();
  ASSERT_NE(first, 0);
  Rec.Take();
  EXPECT_EQ(SoundInit(), first);
  ExpectLog({});
}

// Every opening step can fail on its own: SoundInit returns 0, the steps
// after it never run, and what was built stays.
TEST_F(SoundInitTest, EachFailingStepStopsThereAndKeepsWhatWasBuilt) {
  struct Row {
    const char *name;
    Op step;
    size_t callsMade;  // calls of Opening made, the failing one included
    bool libraryLoaded;
    bool deviceMade;
  };
  const Row rows[] = {
      {"window not made", Op::WindowMake, 1, false, false},
      {"no device library", Op::LibraryLoad, 2, false, false},
      {"no entry point", Op::LibraryEntry, 3, true, false},
      {"device refused", Op::DeviceCreate, 4, true, false},
      {"cooperative level refused", Op::DeviceSetLevel, 5, true, true},
      {"primary buffer refused", Op::DeviceCreateBuffer, 6, true, true},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Rec.Reset();
    SoundUseDevice(&RecordingDevice);
    Rec.Fail(row.step);
    EXPECT_EQ(SoundInit(), 0);
    std::vector<Call> expected(Opening.begin(), Opening.begin() + static_cast<ptrdiff_t>(row.callsMade));
    if (row.step == Op::DeviceCreateBuffer) expected.back().buffer = 0;  // none was made
    ExpectLog(expected);
    EXPECT_NE(SoundLibrary.table, nullptr);
    EXPECT_EQ(SoundLibrary.volumeTable[50], 9397);
    EXPECT_EQ(SoundLibrary.windowMade, row.step == Op::WindowMake ? 0 : 1);
    EXPECT_EQ(SoundLibrary.library != 0, row.libraryLoaded);
    EXPECT_EQ(SoundLibrary.deviceObject != nullptr, row.deviceMade);
    EXPECT_EQ(Rec.deviceReleased, false);
    // No sound can be made on a device that did not open.
    EXPECT_EQ(SoundFromMemory(1, AlarmImage), 0);
    ExpectLog({});
  }
}

// A retry after a failure picks up at the failed step: the library is not
// loaded twice and no second device is made.
TEST_F(SoundInitTest, RetryResumesAtTheFailedStep) {
  struct Row {
    const char *name;
    Op step;
    size_t firstRetried;  // index in Opening of the first call the retry makes
  };
  const Row rows[] = {
      {"window", Op::WindowMake, 0},         {"library", Op::LibraryLoad, 1},
      {"entry", Op::LibraryEntry, 2},        {"device", Op::DeviceCreate, 3},
      {"level", Op::DeviceSetLevel, 4},      {"primary", Op::DeviceCreateBuffer, 5},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Rec.Reset();
    SoundUseDevice(&RecordingDevice);
    Rec.Fail(row.step);
    ASSERT_EQ(SoundInit(), 0);
    Rec.Take();
    Rec.Fail(row.step, false);
    EXPECT_NE(SoundInit(), 0);
    std::vector<Call> expected(Opening.begin() + static_cast<ptrdiff_t>(row.firstRetried), Opening.end());
    expected.back().buffer = static_cast<int>(Rec.buffers.size());
    ExpectLog(expected);
  }
}

TEST_F(SoundInitTest, NoDeviceAtAllFailsAfterBuildingTheTables) {
  SoundUseDevice(nullptr);
  EXPECT_EQ(SoundInit(), 0);
  EXPECT_NE(SoundLibrary.table, nullptr);
  EXPECT_EQ(SoundLibrary.volumeTable[100], 10000);
  SoundEnd();  // nothing to unload, nothing to crash on
}

// ---- Volume table ----

TEST_F(SoundInitTest, VolumeTableHoldsTheTellingRows) {
  Rec.Fail(Op::WindowMake);  // the table is filled even when opening fails
  SoundInit();
  const struct {
    int volume;
    int32_t entry;
  } rows[] = {{0, 0},     {1, 6000},  {2, 6602},  {10, 8000}, {25, 8795},
              {50, 9397}, {75, 9750}, {99, 9991}, {100, 10000}};
  for (const auto &row : rows) {
    SCOPED_TRACE(row.volume);
    EXPECT_EQ(SoundLibrary.volumeTable[row.volume], row.entry);
  }
}

TEST_F(SoundInitTest, VolumeTableRisesStrictlyFromOneToOneHundred) {
  SoundInit();
  for (int v = 1; v <= 100; ++v) {
    SCOPED_TRACE(v);
    EXPECT_GT(SoundLibrary.volumeTable[v], SoundLibrary.volumeTable[v - 1]);
    EXPECT_LE(SoundLibrary.volumeTable[v], 10000);
  }
}

// ---- SoundEnd ----

TEST_F(SoundInitTest, EndWithoutInitDoesNothing) {
  SoundEnd();
  ExpectLog({});
  EXPECT_EQ(SoundLibrary.table, nullptr);
}

TEST_F(SoundInitTest, EndAfterMissingLibraryUnloadsNothing) {
  Rec.Fail(Op::LibraryLoad);
  ASSERT_EQ(SoundInit(), 0);
  Rec.Take();
  SoundEnd();
  ExpectLog({});
}

// Failures after the device was made: SoundEnd lets go of the device before
// unloading the library that holds its code.
TEST_F(SoundInitTest, EndAfterFailedInitReleasesTheDeviceThenUnloads) {
  struct Row {
    const char *name;
    Op step;
    std::vector<Call> end;
  };
  const Row rows[] = {
      {"entry missing", Op::LibraryEntry, {{Op::LibraryUnload, 0, FakeLibrary, 0}}},
      {"device refused", Op::DeviceCreate, {{Op::LibraryUnload, 0, FakeLibrary, 0}}},
      {"level refused", Op::DeviceSetLevel,
       {{Op::DeviceRelease, 0, 0, 0}, {Op::LibraryUnload, 0, FakeLibrary, 0}}},
      {"primary refused", Op::DeviceCreateBuffer,
       {{Op::DeviceRelease, 0, 0, 0}, {Op::LibraryUnload, 0, FakeLibrary, 0}}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    Rec.Reset();
    SoundUseDevice(&RecordingDevice);
    Rec.Fail(row.step);
    ASSERT_EQ(SoundInit(), 0);
    Rec.Take();
    SoundEnd();
    ExpectLog(row.end);
    SoundEnd();  // a second end finds nothing left to unload
    ExpectLog({});
  }
}

TEST_F(SoundInitTest, EndFreesEverySoundThenTheDevice) {
  Open();
  ASSERT_NE(SoundFromMemory(1, AlarmImage), 0);          // buffer 2
  intptr_t automatic = SoundFromMemory(AutoNumber, AlarmImage);  // buffer 3
  ASSERT_NE(automatic, 0);
  ASSERT_NE(SoundFromMemory(7, AlarmImage), 0);          // buffer 4
  ASSERT_NE(SoundPlay(1, SoundFlagInstance), 0);         // buffer 5
  Rec.Take();
  SoundEnd();
  // Slots in ascending order, then AutoNumber sounds; each sound's instances
  // before its main buffer.
  ExpectLog({
      {Op::BufferRelease, 5, 0, 0},
      {Op::BufferRelease, 2, 0, 0},
      {Op::BufferRelease, 4, 0, 0},
      {Op::BufferRelease, 3, 0, 0},
      {Op::BufferRelease, 1, 0, 0},
      {Op::DeviceRelease, 0, 0, 0},
      {Op::LibraryUnload, 0, FakeLibrary, 0},
  });
  EXPECT_EQ(Rec.LiveBuffers(), 0);
  EXPECT_EQ(SoundPlay(1), 0);
  EXPECT_EQ(SoundPlay(automatic), 0);
  intptr_t number;
  ObjectTableRewind(SoundLibrary.table);
  EXPECT_EQ(ObjectTableNext(SoundLibrary.table, &number), nullptr);
}

TEST_F(SoundInitTest, InitAfterEndOpensTheDeviceAgain) {
  Open();
  SoundEnd();
  Rec.Take();
  EXPECT_NE(SoundInit(), 0);
  // The window stays from the first start.
  std::vector<Call> expected(Opening.begin() + 1, Opening.end());
  expected.back().buffer = 2;
  ExpectLog(expected);
}

}  // namespace
