// Texts converted by Windows' own code page 1252 table, whatever the ANSI
// code page of the process: what the program's cp1252 bytes must look like
// when read back with the ...W functions, and the way back.
#pragma once
#include <windows.h>

#include <string>

inline std::wstring WideFrom1252(const std::string &text) {
  std::wstring wide(text.size(), L'\0');
  int count = MultiByteToWideChar(1252, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                  static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(count > 0 ? count : 0));
  return wide;
}

inline std::string Cp1252From(const std::wstring &wide) {
  std::string text(wide.size(), '\0');
  int count = WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                                  static_cast<int>(text.size()), nullptr, nullptr);
  text.resize(static_cast<size_t>(count > 0 ? count : 0));
  return text;
}

// Every byte from 0x80 to 0xFF, in order.
inline std::string UpperHalf1252() {
  std::string bytes;
  for (int b = 0x80; b <= 0xFF; b++) bytes.push_back(static_cast<char>(b));
  return bytes;
}
