#pragma once
// The Groove Box's sound font ships packed (soundfontpackformat.h) and is unpacked once,
// at start-up, into the music folder.

// Unpacks the packed font `source` into `destination` (both paths in the file system's
// encoding); 0 on success. The font appears under its name only when complete: a bad
// header, a damaged stream or a size that differs from the header's leaves no file.
int unPackSf2File(const char* source, const char* destination);
