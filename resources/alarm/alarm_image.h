// The built-in alarm sound: a RIFF/WAVE image (PCM, mono, 11025 Hz, 8 bits,
// 10119 samples) in the program's data, made from resources/alarm/alarm.wav.
#pragma once

extern const unsigned char AlarmImage[10164];
