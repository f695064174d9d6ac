// The About window's pictures from the program's resources, and its sound from a file.
#pragma once

#include <windows.h>

#include <string>

namespace about {

// A bitmap resource as a bitmap the caller owns; null if it cannot be loaded.
HBITMAP LoadBitmapResource(int id);

// A GIF stored as raw data (RCDATA) decoded into a bitmap the caller owns; null if the data is
// missing or not a picture Windows can decode.
HBITMAP LoadGifResource(int id);

// The path itself when the system's ANSI code page can spell it, else its short (8.3) form
// where the file system keeps one. Some media readers go through ANSI file functions even when
// given a wide path (Wine's file reader for clips and sounds does), so a folder named in
// another script would hide the file from them.
std::wstring AnsiReadablePath(const std::wstring& path);

// Plays a sound file to its end before returning. A missing or unplayable file plays nothing,
// not even the system's default sound, and reports nothing.
void PlaySoundFile(const std::wstring& path);

}  // namespace about
