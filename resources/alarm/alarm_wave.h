// alarm.wav as it stands, for the test that checks the expansion of the
// packed image against it. Not part of the program.
#pragma once

extern const unsigned char AlarmWave[10164];
