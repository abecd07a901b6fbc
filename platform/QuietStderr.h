// Keeps what libraries print straight to the error output off the terminal while it lives: the
// sound libraries (ALSA, PulseAudio, JACK) describe every device they try and fail to open, in
// lines a player cannot act on. The game says what matters itself, after this is gone.
#pragma once

namespace pondlark {

// Points file descriptor 2 at /dev/null for its lifetime and restores the old one on
// destruction. Process-wide: meant for short spans of start-up code, when no other thread
// writes errors. When /dev/null cannot be opened, and in a browser, it leaves the error output
// as it is.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_ = -1; // the original descriptor 2, or -1 when nothing was redirected
};

} // namespace pondlark
