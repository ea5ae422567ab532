#pragma once
// Sizes and colours of the waveform editor. The artwork's sizes set the geometry: the
// pictures in resources/ are made to these numbers.
//
// Coordinates: the numbers the editor's rules speak in are measured from the bottom
// (y grows upward, the ruler is "the top band"). Qt measures from the top. Only
// WaveformGeometry converts between the two.

#include <QColor>
#include <QSize>

namespace WaveformArt {

inline constexpr int kRulerHeight = 20; // "TimeFillFragment.png": 4 x 20, stretched along the ruler
inline constexpr QSize kBackgroundTile { 8, 8 }; // "WaveViewBackground.png": tiled behind the waveform
inline constexpr QSize kEmptyPicture { 682, 217 }; // "BackgroundPic.png": the editor with no file
inline constexpr int kSliderCapWidth = 6; // "SliderLeft.png" / "SliderRight.png": 6 x 64, stretched in height
inline constexpr int kSliderMidWidth = 1; // "SliderMid.png": 1 x 64, stretched in both directions
inline constexpr int kCursorTestStrip = 24; // "PCMiddleFillFragment.png": 4 x 24; the top strip without cursors

inline constexpr int kMinimumWidth = 682;
inline constexpr int kClosedWidth = 678; // the empty view after the editor is closed
inline constexpr QColor kViewBackground { 107, 107, 107 };
inline constexpr QColor kWaveStroke { 107, 107, 107 };
inline constexpr QColor kGridLine { 159, 159, 159 };
inline constexpr QColor kTick { 64, 64, 64 };
inline constexpr QColor kHoverLine { 211, 211, 211 };
inline constexpr QColor kBarBackground { 95, 95, 95 };
inline constexpr QColor kBarWave { 197, 219, 251 };

} // namespace WaveformArt

// Converts the editor's bottom-up y into Qt's top-down y for a view `height` high.
class WaveformGeometry {
public:
    explicit WaveformGeometry(double height)
        : m_height(height)
    {
    }
    [[nodiscard]] double toQt(double yFromBottom) const { return m_height - yFromBottom; }
    [[nodiscard]] double fromQt(double yFromTop) const { return m_height - yFromTop; }

private:
    double m_height;
};
