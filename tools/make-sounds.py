#!/usr/bin/env python3
"""Generates the program's sounds into assets/Sounds/.

Message.wav: the new-message chime, two short rising tones (0.3 s in all),
16-bit PCM mono at 22050 Hz. The output is the same on every run, so the
committed file can be checked against this script.

Usage: tools/make-sounds.py [OUTPUT_FOLDER]   (default: assets/Sounds)
"""
import math
import os
import struct
import sys
import wave

RATE = 22050
PEAK = 0.55 * 32767


def tone(frequency, start, duration, total):
    """Samples of a tone with a quick attack and an exponential decay,
    placed at start (seconds) in a clip of total seconds."""
    samples = [0.0] * int(total * RATE)
    first = int(start * RATE)
    count = int(duration * RATE)
    attack = int(0.004 * RATE)
    for i in range(count):
        if first + i >= len(samples):
            break
        t = i / RATE
        envelope = min(1.0, i / attack) * math.exp(-t * 14.0)
        # A little of the octave above gives the tone a bell-like edge.
        value = math.sin(2 * math.pi * frequency * t) + 0.25 * math.sin(4 * math.pi * frequency * t)
        samples[first + i] = envelope * value / 1.25
    return samples


def message_chime():
    total = 0.30
    low = tone(880.0, 0.00, 0.14, total)
    high = tone(1318.5, 0.11, 0.19, total)
    mixed = [a + b for a, b in zip(low, high)]
    # Fade the last 10 ms so the clip ends on silence.
    fade = int(0.010 * RATE)
    for i in range(fade):
        mixed[-1 - i] *= i / fade
    return mixed


def write_wav(path, samples):
    frames = b"".join(struct.pack("<h", max(-32768, min(32767, int(round(s * PEAK))))) for s in samples)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "assets", "Sounds")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "Message.wav")
    write_wav(path, message_chime())
    print(path)


if __name__ == "__main__":
    main()
