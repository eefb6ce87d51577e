// The built-in alarm sound: a RIFF/WAVE image (PCM, mono, 11025 Hz, 8 bits,
// 10119 samples) made from resources/alarm/alarm.wav. The program's data
// holds it packed; AlarmImageExpand writes the image into AlarmImage, which
// is all zeros before that (and so costs the executable no file bytes).
//
// The clock expands it right before its first use. Programs that link
// tamrix_alarm_image (the test programs) find it expanded before main;
// tamrix_alarm_packed alone leaves that to the program.
#pragma once

extern unsigned char AlarmImage[10164];

// Writes the whole image; calling it again writes the same bytes.
void AlarmImageExpand(void);
