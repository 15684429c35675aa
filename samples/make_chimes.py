#!/usr/bin/env python3
"""Synthesises the sample chimes with the standard library only.

    make_chimes.py TWO_TONE.wav THREE_TONE.wav MELODY.mid CLICK.wav

writes a two-tone chime and a three-tone chime as 16-bit mono WAV (the build encodes the
second one to MP3), a short vibraphone melody as a standard MIDI file, and the key click.
"""
import math
import struct
import sys
import wave

RATE = 44100


def bell(freq, count):
    """count samples of a struck bell: inharmonic partials, each with its own exponential decay."""
    partials = ((1.0, 1.0, 3.0), (2.76, 0.35, 5.0), (5.4, 0.15, 8.0))
    out = []
    for i in range(count):
        t = i / RATE
        attack = min(1.0, t / 0.004)  # no click at the strike
        out.append(attack * sum(a * math.exp(-d * t) * math.sin(2 * math.pi * freq * r * t)
                                for r, a, d in partials))
    return out


def chime(notes, length):
    """notes: (start seconds, frequency); length: seconds of the whole chime."""
    mix = [0.0] * int(length * RATE)
    for start, freq in notes:
        first = int(start * RATE)
        for i, v in enumerate(bell(freq, len(mix) - first)):
            mix[first + i] += v
    peak = max(abs(v) for v in mix)
    fade = int(0.05 * RATE)  # the last 50 ms fade to silence
    for i in range(fade):
        mix[-1 - i] *= i / fade
    # Peaks at -6.6 dBFS: as loud (RMS) as the voice while they sound, with room for the voice beside it.
    return [int(v / peak * 0.47 * 32767) for v in mix]


def click():
    """The panel's key click: 30 ms of a damped 2 kHz tick."""
    count = int(0.03 * RATE)
    return [int(0.6 * 32767 * math.exp(-t / (0.004 * RATE)) * math.sin(2 * math.pi * 2000 * t / RATE))
            for t in range(count)]


def write_wav(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(samples), *samples))


def varlen(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


def write_midi(path, notes, program, division=480):
    """notes: (start tick, length in ticks, key) on channel 0, format 0, 120 beats a minute. Each
    key sounds with its lower octave and fifth: the synthesiser plays a single note far softer
    than the other chimes and the voice."""
    # Tempo, full channel volume, instrument.
    events = [(0, b"\xff\x51\x03\x07\xa1\x20"), (0, b"\xb0\x07\x7f"), (0, bytes([0xC0, program]))]
    for start, length, key in notes:
        for k in (key, key - 12, key - 5):
            events.append((start, bytes([0x90, k, 127])))
            events.append((start + length, bytes([0x80, k, 64])))
    events.sort(key=lambda e: e[0])
    track, now = b"", 0
    for tick, data in events:
        track += varlen(tick - now) + data
        now = tick
    track += b"\x00\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, division))
        f.write(b"MTrk" + struct.pack(">I", len(track)) + track)


def main():
    two_tone, three_tone, melody, key = sys.argv[1:5]
    write_wav(key, click())
    write_wav(two_tone, chime([(0.0, 784.0), (0.45, 622.3)], 1.4))             # G5, D#5
    write_wav(three_tone, chime([(0.0, 523.3), (0.3, 659.3), (0.6, 784.0)], 1.6))  # C5 E5 G5
    # Vibraphone (General MIDI program 12, numbered 11 from zero): E5 C5 D5 G4, then G4 D5 E5 C5.
    keys = (76, 72, 74, 67, 67, 74, 76, 72)
    write_midi(melody, [(i * 240, 220 if i < 7 else 460, k) for i, k in enumerate(keys)], 11)


if __name__ == "__main__":
    main()
