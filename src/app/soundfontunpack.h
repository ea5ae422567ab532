#pragma once
// The Groove Box's sound font is shipped packed and unpacked once into the music folder.

// Unpacks `source` into `destination`; 0 on success. Until the Groove Box is part of
// the program there is nothing to unpack: it logs and answers -1.
int unPackSf2File(const char* source, const char* destination);
