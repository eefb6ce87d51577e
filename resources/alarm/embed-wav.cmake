# cmake -DIN=alarm.wav -DOUT=alarm_image.cpp -P embed-wav.cmake
file(SIZE ${IN} size)
if(NOT size EQUAL 10164)
  message(FATAL_ERROR "${IN}: ${size} bytes, the alarm image must have 10164")
endif()
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUT}.tmp
  "// Generated from alarm.wav when the program is built.\n"
  "#include \"resources/alarm/alarm_image.h\"\n\n"
  "alignas(4) const unsigned char AlarmImage[10164] = {\n  ${bytes}\n};\n")
file(RENAME ${OUT}.tmp ${OUT})
