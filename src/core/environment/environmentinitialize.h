#pragma once
// Start and stop of the media libraries and of logging, once per process.

class EnvironmentInitialize {
public:
    // Logging first, then the decoder and the encoder. Call once
    // the main window has loaded and before anything opens a media file.
    static void initEnvironment();
    static void uninitEnvironment();
};
