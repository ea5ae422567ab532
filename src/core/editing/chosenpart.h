#pragma once
// The rules of the chosen part, in waveform pixels: the part is at least 5 s long (or
// the whole file when that is shorter), at most 60 s, and always lies inside the file.
// A time of t ms lies at x = t * moveDx. The waveform view and the selection bar call
// these rules; they hold no widget state.

struct PartFrame {
    double x = 0.0;
    double width = 0.0;
    [[nodiscard]] double right() const { return x + width; }
    bool operator==(const PartFrame&) const = default;
};

class ChosenPart {
public:
    static constexpr double kMinimumMs = 5000.0;
    static constexpr double kMaximumMs = 60000.0;
    static constexpr double kFirstPartMs = 40000.0;
    static constexpr double kGrabZone = 5.0; // pixels just outside the part's edges

    // `moveDx` in pixels per millisecond, `waveformWidth` the drawn width of the whole
    // file in pixels.
    ChosenPart(double moveDx, double waveformWidth);

    [[nodiscard]] double moveDx() const { return m_moveDx; }
    [[nodiscard]] double waveformWidth() const { return m_waveformWidth; }
    [[nodiscard]] double toX(double ms) const { return ms * m_moveDx; }
    [[nodiscard]] double toMs(double x) const { return m_moveDx > 0.0 ? x / m_moveDx : 0.0; }
    // 5 s, or the whole file when it is shorter.
    [[nodiscard]] double minimumWidth() const;
    [[nodiscard]] double maximumWidth() const;

    // The part a freshly loaded file starts with: the first 40 s, or the whole file.
    [[nodiscard]] PartFrame initialPart(bool* wholeFile = nullptr) const;

    // Keyboard: direction 1 moves the left edge, 2 the right edge, by `d` pixels.
    [[nodiscard]] PartFrame enlarge(PartFrame part, double d, int direction) const;
    [[nodiscard]] PartFrame narrow(PartFrame part, double d, int direction) const;

    // 0 in the left grab zone, 1 in the right one (within the part's height), -1 elsewhere.
    [[nodiscard]] static int grabZone(PartFrame part, double x, double y, double partHeight);

    // Dragging an edge. Reaching 5 s or 60 s stops the drag following the pointer until
    // it returns to the grab zone it started from (the caller checks grabZone).
    struct ResizeDrag {
        int direction = 1; // 0 left edge, 1 right edge
        double downX = 0.0; // where the drag started
        double lastTotal = 0.0; // pointer offset at the previous step
        bool following = true;
    };
    [[nodiscard]] PartFrame resize(PartFrame part, ResizeDrag& drag, double pointerX) const;

    // A new part made by dragging over the waveform from `downX` to `pointerX`.
    [[nodiscard]] PartFrame build(PartFrame current, double downX, double pointerX) const;

    // The whole part moved by `step` pixels, kept inside the file.
    [[nodiscard]] PartFrame move(PartFrame part, double step) const;

    // Any part brought inside the rules.
    [[nodiscard]] PartFrame clamp(PartFrame part) const;

    // A position at scale `from` expressed at scale `to` (zoom keeps times).
    [[nodiscard]] static double rescale(double x, double from, double to);

private:
    double m_moveDx;
    double m_waveformWidth;
};
