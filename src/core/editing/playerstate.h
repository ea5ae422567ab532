#pragma once
// The states the editor's play controls move through.

// The player as the editor sees it.
enum class PlayerState {
    None, // no player: no sound output, or nothing loaded
    Stopped,
    Playing,
    Paused,
};

// The Play button.
enum class PlayButtonState {
    Idle, // idle, paused, stopped, or a preview took over
    Playing, // whole-file play runs
    Fresh, // nothing played since the buttons were reset
};

// The Preview button.
enum class PreviewButtonState {
    Idle, // also during the rings gap
    Previewing,
};
