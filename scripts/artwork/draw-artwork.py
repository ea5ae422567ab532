#!/usr/bin/env python3
"""Draws the program's pictures at double resolution: resources/NAME@2x.png.

Every picture is described once, in the 1x picture's own coordinates, and drawn as SVG
(rsvg-convert, Debian package librsvg2-bin) at twice the size, so edges and glyphs are
drawn at the dense screen's pixel, never enlarged. Pictures made only of full-pixel
rows, columns or tiles (gradients, fills, the pixel note of the generic cover) are
exact at 2x when each pixel is doubled; those are doubled with ImageMagick.

    scripts/artwork/draw-artwork.py            writes every @2x picture
    scripts/artwork/draw-artwork.py --compare  draws at 1x into a scratch folder and
                                               prints how far each lies from resources/
The output is committed: building the program never runs this.
"""
import argparse
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RES = os.path.join(ROOT, "resources")
GLYPH_FONT = "DejaVu Sans"

# Pictures whose every edge lies on a whole pixel: doubling each pixel is their exact 2x.
DOUBLED = [
    "AudioEditorPlug", "AudioPic", "DownPartBgPic", "MainwindowBack", "PCMiddleFillFragment",
    "SliderMid", "TimeFillFragment", "WaveViewBackground", "showBack", "volumeBackBG",
]


def svg(w, h, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}"><defs>{defs}</defs>{body}</svg>')


def vgrad(gid, stops, y1, y2):
    """A vertical gradient in picture units; stops are (offset, colour[, opacity])."""
    parts = "".join(
        f'<stop offset="{s[0]}" stop-color="{s[1]}" stop-opacity="{s[2] if len(s) > 2 else 1}"/>'
        for s in stops)
    return (f'<linearGradient id="{gid}" gradientUnits="userSpaceOnUse" x1="0" y1="{y1}" '
            f'x2="0" y2="{y2}">{parts}</linearGradient>')


def glyph(char, x, y, w, h, fill):
    """A DejaVu glyph stretched over the ink box (x, y, w, h); drawn as text so it stays a
    vector shape. The box is met through a transform of the glyph's measured ink box."""
    ink = GLYPH_INK[char]
    sx, sy = w / ink[2], h / ink[3]
    return (f'<text transform="translate({x - ink[0] * sx} {y - ink[1] * sy}) scale({sx} {sy})" '
            f'font-family="{GLYPH_FONT}" font-size="100" fill="{fill}">{char}</text>')


# Ink boxes (x, y, w, h) of the glyphs drawn at 100 units from the origin, measured once by
# measure_glyphs().
GLYPH_INK = {}


def measure_glyphs(tmp):
    for char in ("\u266a", "\u260e"):
        doc = svg(400, 400, f'<text x="100" y="200" font-family="{GLYPH_FONT}" font-size="100" '
                            f'fill="#000">{char}</text>')
        big = os.path.join(tmp, "glyph.png")
        render(doc, big, 8)
        box = subprocess.check_output(
            ["convert", big, "-alpha", "extract", "-threshold", "50%", "-format", "%@", "info:"]).decode()
        w, h, ox, oy = (int(v) / 8 for v in box.replace("+", "x").split("x"))
        GLYPH_INK[char] = (ox - 100, oy - 200, w, h)


def render(doc, out, scale):
    w = float(doc.split('width="')[1].split('"')[0])
    h = float(doc.split('height="')[1].split('"')[0])
    subprocess.run(["rsvg-convert", "-w", str(round(w * scale)), "-h", str(round(h * scale)),
                    "-o", out], input=doc.encode(), check=True)


# --- the editor's 32 x 32 buttons -------------------------------------------------------

BODY = vgrad("body", [(0, "#5c6068"), (1, "#393d43")], 2, 30)
BEVEL = vgrad("bevel", [(0, "#6e727a"), (0.5, "#595d63"), (1, "#4d5055")], 1, 31)
PRESSED_BODY = vgrad("body", [(0, "#262a2f"), (1, "#34363b")], 2, 30)
PRESSED_BEVEL = vgrad("bevel", [(0, "#1a1c1f"), (0.6, "#2b2d32"), (1, "#34363b")], 1, 31)
LIGHT = vgrad("light", [(0, "#eef1f5"), (1, "#c6ccd7")], 7, 25)
RED = vgrad("red", [(0, "#f0aaa3"), (0.18, "#ea928c"), (1, "#c54b45")], 8, 24)
BRACKET = vgrad("bracket", [(0, "#93a7c3"), (1, "#7a8eab")], 5, 27)
NOTE = vgrad("note", [(0, "#b9cfee"), (1, "#8badda")], 7, 27)
PHONE = vgrad("phone", [(0, "#a0a5ab"), (1, "#c3cad5")], 4, 27)


def button(glyphs, defs="", pressed=False):
    body = (
        '<rect x="0" y="0" width="32" height="32" rx="7" fill="#1f2123" fill-opacity="0.45"/>'
        '<rect x="1" y="1" width="30" height="30" rx="6" fill="url(#bevel)"/>'
        '<rect x="2" y="2" width="28" height="28" rx="5" fill="url(#body)"/>')
    # Each glyph casts a one-unit shadow downwards.
    shadow = f'<g transform="translate(0 1)" fill="#000" fill-opacity="0.3">{glyphs("#000")}</g>'
    shift = ' transform="translate(1 1)"' if pressed else ""
    base = (PRESSED_BODY + PRESSED_BEVEL) if pressed else (BODY + BEVEL)
    return svg(32, 32, f"{body}<g{shift}>{shadow}{glyphs(None)}</g>", base + defs)


def fill(colour, default):
    return colour or default


def bars(x1, x2, top, bottom, width, colour):
    return "".join(f'<rect x="{x}" y="{top}" width="{width}" height="{bottom - top}" rx="1.5" '
                   f'fill="{colour}"/>' for x in (x1, x2))


def brackets(colour):
    if colour == "#000":
        return ""  # the brackets cast no shadow
    path = "M10.6 6 H8.4 Q5.6 6 5.6 8.8 V23.2 Q5.6 26 8.4 26 H10.6"
    mirror = "M21.4 6 H23.6 Q26.4 6 26.4 8.8 V23.2 Q26.4 26 23.6 26 H21.4"
    return (f'<path d="{path}" fill="none" stroke="{colour}" stroke-width="2.3"/>'
            f'<path d="{mirror}" fill="none" stroke="{colour}" stroke-width="2.3"/>')


def phone_with_note(colour):
    outline = fill(colour, "url(#phone)")
    note = fill(colour, "url(#note)")
    drawn = f'<rect x="4.6" y="4" width="12.6" height="23" rx="2.4" fill="{outline}"/>'
    if colour is None:
        drawn += ('<rect x="6.8" y="7.2" width="8.2" height="14.6" fill="#4b4f56"/>'
                  '<circle cx="10.9" cy="24.6" r="0.9" fill="#5d6168"/>')
    # A quaver: stem, flag and a tilted head resting on the phone's corner.
    return drawn + (
        f'<g fill="{note}"><rect x="22.6" y="7.2" width="1.9" height="17"/>'
        '<path d="M24.4 7.2 C24.8 10.2 28.4 10.8 27.7 15 C27.3 12.8 25.8 11.9 24.4 11.6 Z"/>'
        '<ellipse cx="20.7" cy="23.4" rx="3.5" ry="2.6" transform="rotate(-25 20.7 23.4)"/></g>')


BUTTONS = {
    "PlayN": lambda c: f'<path d="M10.6 7.4 V23.6 L24.6 15.5 Z" fill="{fill(c, "url(#light)")}"/>',
    "Pause": lambda c: bars(8.6, 16.6, 7.8, 23.4, 5, fill(c, "url(#light)")),
    "Preview": lambda c: brackets(fill(c, "url(#bracket)")) +
    f'<path d="M11.4 9.6 V22.2 L20.6 15.8 Z" fill="{fill(c, "url(#light)")}"/>',
    "PreviewPause": lambda c: brackets(fill(c, "url(#bracket)")) + bars(10.6, 16, 10.8, 21.2, 3.4,
                                                                          fill(c, "url(#light)")),
    "RecordInAudioEditViewStart": lambda c: f'<circle cx="16" cy="16" r="7.9" fill="{fill(c, "url(#red)")}"/>',
    "RecordInAudioEditViewStop": lambda c: f'<rect x="9" y="9" width="14" height="13.6" rx="2" '
                                           f'fill="{fill(c, "url(#red)")}"/>',
    "RingtoneManagerPop": phone_with_note,
}
GLYPH_DEFS = LIGHT + RED + BRACKET + NOTE + PHONE


# --- the main window's 84 x 84 buttons --------------------------------------------------

CIRCLES = {"Music": ("#4a86d8", "#2b5ca6", "#6da4f0"), "Record": ("#d24545", "#9e2a2a", "#ee6b6b"),
           "RingtoneMgr": ("#3fa36b", "#2a784c", "#5fc48a")}


def circle_button(kind, colour):
    disc = f'<circle cx="42" cy="42" r="40.3" fill="{colour}" fill-opacity="0.996"/>'
    if kind == "Music":
        mark = glyph("\u266a", 30, 24, 23, 36, "#fbfcfe")
    elif kind == "Record":
        mark = '<circle cx="41.5" cy="41.5" r="15.4" fill="#fff"/>'
    else:
        mark = glyph("\u260e", 16, 26, 51, 33, "#f8fcfa")
    return svg(84, 84, disc + mark)


# --- the rest ---------------------------------------------------------------------------

def playback(kind):
    ring = ('<circle cx="24" cy="24" r="22" fill="#0d0d12" fill-opacity="0.62"/>'
            '<circle cx="24" cy="24" r="22" fill="none" stroke="#e7e7e8" stroke-opacity="0.94" '
            'stroke-width="1.6"/>')
    if kind == "Play":
        mark = '<path d="M18 15 V33 L33.4 24 Z" fill="#fff"/>'
    else:
        mark = '<rect x="16.2" y="16.2" width="15.6" height="15.6" fill="#fff"/>'
    return svg(48, 48, ring + mark)


def triangle(up):
    d = "M4 11.9 H12.1 L8 4.2 Z" if up else "M3.9 3.1 H12.1 L8 12 Z"
    return svg(16, 16, f'<path d="{d}" fill="#444"/>')


def knob(on):
    face = vgrad("face", [(0, "#dce8f6" if on else "#eef0f4"),
                          (1, "#8fa3bf" if on else "#a9b0ba")], 1, 11)
    return svg(12, 12, '<circle cx="6" cy="6" r="6" fill="#292a31" fill-opacity="0.94"/>'
                       '<circle cx="6" cy="6" r="5" fill="url(#face)"/>', face)


def speaker(loud, colour):
    body = f'<path d="M1 5 H4.3 L8 1.6 V12.4 L4.3 9 H1 Z" fill="{colour}"/>'
    if loud:
        body += (f'<path d="M9.6 4.4 Q11 7 9.6 9.6" fill="none" stroke="{colour}" stroke-width="1.1"/>'
                 f'<path d="M11 2.6 Q13.6 7 11 11.4" fill="none" stroke="{colour}" stroke-width="1.1" '
                 'stroke-opacity="0.9"/>')
    return svg(16, 14, body)


def slider_end(left):
    x = 0.5 if left else -14.5
    fillg = vgrad("fill", [(0, "#8093b1", 0.51), (1, "#62728b", 0.51)], 2, 62)
    return svg(6, 64, f'<rect x="{x}" y="0.5" width="20" height="63" rx="3.2" fill="url(#fill)" '
                      'stroke="#adc5e8" stroke-opacity="0.84"/>', fillg)


# The quiet wave across the empty waveform: its height every 4 units from the left.
WAVE = " ".join([
    "108.5 108.6 108.8 109.1 109.4 109.6 109.8 110.1 110.3 110.5 110.5 110.5 110.5 110.3 110.1 109.8",
    "109.3 109.0 108.5 108.0 107.7 107.5 107.5 107.5 107.5 107.5 107.8 108.1 108.6 109.1 109.4 109.5",
    "109.5 109.5 109.4 109.0 108.4 107.6 106.7 105.7 104.6 103.5 102.5 101.5 100.7 100.1 99.7 99.7",
    "100.1 100.7 101.8 103.1 104.7 106.5 108.4 110.4 112.4 114.3 116.0 117.5 118.7 119.6 120.1 120.1",
    "119.8 119.0 117.9 116.6 115.1 113.5 111.9 110.3 108.8 107.5 106.4 105.6 105.0 104.8 104.9 105.3",
    "105.9 106.5 107.2 108.0 108.7 109.3 109.6 109.6 109.6 109.2 108.6 107.6 106.4 105.1 103.8 102.4",
    "101.1 99.9 99.0 98.3 98.0 98.0 98.5 99.4 100.5 102.1 103.8 105.8 108.0 110.1 112.2 114.1",
    "115.8 117.2 118.3 119.0 119.4 119.3 118.9 118.2 117.2 116.0 114.6 113.1 111.7 110.3 109.0 107.9",
    "106.9 106.2 105.8 105.5 105.5 105.7 106.0 106.5 107.0 107.3 107.8 108.2 108.7 109.1 109.1 109.0",
    "108.6 108.1 107.8 107.3 107.0 106.5 106.1 105.8 105.6 105.5 105.5 105.6 105.9 106.2 106.6 107.0",
    "107.3 107.8 108.2 108.7 109.1 109.4 109.5 109.5 109.2 109.0 108.8 108.8",
]).split()


def waveform_background():
    """The empty waveform: a dark gradient, a faint grid every 31 units, the middle line and
    a quiet wave."""
    grad = vgrad("bg", [(0, "#3e4147"), (1, "#32353a")], 0, 217)
    grid = "".join(f'<rect x="{x}" y="0" width="1" height="217" fill="#ffffff" fill-opacity="0.035"/>'
                   for x in range(31, 682, 31))
    xs = list(range(0, 682, 4)) + [681]
    points = " ".join(f"{x},{y}" for x, y in zip(xs, WAVE))
    wave = f'<polyline points="{points}" fill="none" stroke="#5e646e" stroke-width="1"/>'
    axis = '<rect x="0" y="108" width="682" height="1" fill="#444d56"/>'
    return svg(682, 217, f'<rect width="682" height="217" fill="url(#bg)"/>{grid}{axis}{wave}', grad)


def drawings():
    pictures = {}
    for name, shape in BUTTONS.items():
        pictures[name] = button(shape, GLYPH_DEFS)
    pictures["RingtoneManagerDown"] = button(phone_with_note, GLYPH_DEFS, pressed=True)
    for kind, (plain, down, enter) in CIRCLES.items():
        pictures[kind] = circle_button(kind, plain)
        pictures[kind + "Down"] = circle_button(kind, down)
        pictures[kind + "Enter"] = circle_button(kind, enter)
    pictures["PlayBackViewPlay"] = playback("Play")
    pictures["PlayBackViewStop"] = playback("Stop")
    pictures["IDown"] = triangle(False)
    pictures["IUp"] = triangle(True)
    pictures["volumeBtnOn"] = knob(True)
    pictures["volumeBtnOff"] = knob(False)
    pictures["volumeMax"] = speaker(True, "#c8ced8")
    pictures["volumeMaxGreen"] = speaker(True, "#8cd0a6")
    pictures["volumeMin"] = speaker(False, "#c8ced8")
    pictures["volumeMinGreen"] = speaker(False, "#8cd0a6")
    pictures["volumeBackEcllipse"] = svg(6, 6, '<circle cx="3" cy="3" r="3" fill="#adc5e8"/>')
    pictures["SliderLeft"] = slider_end(True)
    pictures["SliderRight"] = slider_end(False)
    pictures["BackgroundPic"] = waveform_background()
    return pictures


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--compare", action="store_true")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        measure_glyphs(tmp)
        pictures = drawings()
        for name, doc in sorted(pictures.items()):
            if args.compare:
                out = os.path.join(tmp, name + ".png")
                render(doc, out, 1)
                diff = subprocess.run(["compare", "-metric", "RMSE", out, os.path.join(RES, name + ".png"),
                                       "null:"], capture_output=True).stderr.decode().strip()
                print(f"{name:28s} {diff}")
            else:
                render(doc, os.path.join(RES, name + "@2x.png"), 2)
    if not args.compare:
        for name in DOUBLED:
            subprocess.run(["convert", os.path.join(RES, name + ".png"), "-filter", "point", "-resize", "200%",
                            "-define", "png:exclude-chunks=date,time",
                            os.path.join(RES, name + "@2x.png")], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
