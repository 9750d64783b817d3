#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Accuracy, speed and memory of `dictora-cli align`, printed as figures.

  alignment_bench.py DICTORA_CLI WORKDIR [--hour]

Accuracy: sentence boundaries (start and end of every sentence) against the
known truth, median and 95th percentile in ms, for
  - espeak-ng speech in another voice, speed and pitch (en-gb+f3, 140 wpm,
    pitch 70) than the aligner's own, clean and with pink noise and a plucked
    chord pattern mixed underneath (sox);
  - real human speech, when Debian's pocketsphinx-testdata is installed: its
    LibriVox (public domain) and "cards" recordings joined with pauses, the
    truth being each recording's speech onset and offset by energy;
  - re-timing: the same sentences as a subtitle shifted by 2.5 s and each
    time jittered by up to +-400 ms.
Speed and memory (--hour): an hour of espeak-ng speech as a WAVE file,
aligned by one process on one core; wall time, real-time factor and peak
resident memory (GNU time)."""
import array, json, math, os, random, re, statistics, subprocess, sys, wave

CLI, WORK = sys.argv[1], sys.argv[2]
os.makedirs(WORK, exist_ok=True)
os.chdir(WORK)

SENTENCES = [
    "Good morning, everyone.", "The train to the airport leaves at half past nine.",
    "Could you speak a little more slowly, please?", "I have been learning Chinese for two years.",
    "It is going to rain this afternoon.", "Let us meet in front of the library.",
    "My brother works in a hospital near the river.", "We should buy some bread and milk on the way home.",
    "The museum is closed on Mondays.", "She has never seen the sea before.",
    "How much does this jacket cost?", "Please turn off the lights when you leave.",
    "The children were playing in the garden all afternoon.", "He forgot his umbrella at the office.",
    "Our teacher gave us a lot of homework today."]
RATE = 22050


def srt_time(ms):
    ms = max(ms, 0)
    return f"{ms // 3600000:02d}:{ms // 60000 % 60:02d}:{ms // 1000 % 60:02d},{ms % 1000:03d}"


def write_wave(path, samples, rate):
    with wave.open(path, "wb") as w:
        w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate); w.writeframes(samples.tobytes())


def mix(clean, rate, seconds, out, level):
    subprocess.run(f"sox -R -n -r {rate} -c 1 noise.wav synth {seconds} pinknoise vol {0.04 * level} && "
                   f"sox -R -n -r {rate} -c 1 music.wav synth {seconds} pluck C3 pluck E3 pluck G3 "
                   f"tremolo 2 40 vol {0.08 * level} && sox -R -m {clean} noise.wav music.wav {out}",
                   shell=True, check=True, stderr=subprocess.DEVNULL)


def loose_srt(spans, path, rng):
    with open(path, "w") as f:
        for i, (s, e, t) in enumerate(spans):
            f.write(f"{i + 1}\n{srt_time(s + 2500 + rng.randint(-400, 400))} --> "
                    f"{srt_time(e + 2500 + rng.randint(-400, 400))}\n{t}\n\n")


def align(args):
    out = subprocess.run([CLI, "align"] + args, capture_output=True, text=True)
    if out.returncode != 0:
        raise SystemExit(f"align {args}: {out.stderr}")
    return json.loads(out.stdout)


def report(name, result, spans):
    errors = []
    for s, (start, end, _) in zip(result["sentences"], spans):
        errors += [abs(s["startMs"] - start), abs(s["endMs"] - end)]
    errors.sort()
    p95 = errors[min(len(errors) - 1, math.ceil(0.95 * len(errors)) - 1)]
    lost = sum(1 for s in result["sentences"] if not s["found"])
    print(f"{name:44s} boundaries {len(errors):4d}  median {statistics.median(errors):6.0f} ms  "
          f"p95 {p95:6.0f} ms  max {errors[-1]:6.0f} ms  not found {lost}")


def espeak_lesson():
    rng = random.Random(7)
    samples, spans = array.array("h", [0] * int(RATE * 1.5)), []
    for text in SENTENCES:
        subprocess.run(["espeak-ng", "-v", "en-gb+f3", "-s", "140", "-p", "70", "-w", "s.wav", text],
                       check=True)
        with wave.open("s.wav") as w:
            a = array.array("h", w.readframes(w.getnframes()))
        loud = [k for k, x in enumerate(a) if abs(x) >= 300]
        a = a[loud[0]:loud[-1] + 1]
        spans.append((len(samples) * 1000 // RATE, (len(samples) + len(a)) * 1000 // RATE, text))
        samples += a
        samples += array.array("h", [0] * int(RATE * rng.uniform(0.4, 1.2)))
    write_wave("voice_clean.wav", samples, RATE)
    mix("voice_clean.wav", RATE, len(samples) / RATE, "voice_mixed.wav", 1.0)
    with open("voice.txt", "w") as f:
        f.write(" ".join(SENTENCES) + "\n")
    loose_srt(spans, "voice_loose.srt", rng)
    with open("voice_truth.json", "w") as f:
        json.dump(spans, f)
    report("espeak-ng other voice, clean", align(["voice.txt", "voice_clean.wav"]), spans)
    report("espeak-ng other voice, noise + music", align(["voice.txt", "voice_mixed.wav"]), spans)
    report("  re-timed subtitle (+2.5 s, +-400 ms)",
           align(["--retime", "voice_loose.srt", "voice_mixed.wav"]), spans)


def room_tone(rng, count):
    """Faint noise (about -50 dBFS) between recordings: real recordings never
    fall to digital silence, and the gaps must not be easier than the room."""
    return array.array("h", [int(rng.gauss(0, 100)) for _ in range(count)])


def real_lesson():
    data = "/usr/share/pocketsphinx/test/data/"
    if not os.path.isdir(data):
        print("real speech: pocketsphinx-testdata is not installed, skipped")
        return
    items = []
    for folder, listing in (("librivox/", "librivox/transcription"), ("cards/", "cards/cards.transcription")):
        for line in open(data + listing):
            m = re.match(r"<s> (.*?)\s*</s> \((.*)\)", line.strip())
            items.append((data + folder + m.group(2) + ".wav", m.group(1)))
    rng, rate = random.Random(3), 16000
    samples, spans = room_tone(rng, rate), []
    for path, text in items:
        with wave.open(path) as w:
            a = array.array("h", w.readframes(w.getnframes()))
        hop = 160
        levels = [math.sqrt(sum(x * x for x in a[i:i + 400]) / 400 + 1) for i in range(0, len(a) - 400, hop)]
        peak = sorted(levels)[int(0.95 * len(levels))]
        # Speech: frames within 20 dB of the loud frames; its edges walk out
        # while the level stays within 30 dB (soft consonants), not into
        # breaths or room tone further down.
        loud = [i for i, v in enumerate(levels) if v > peak * 0.1]
        on, off = loud[0], loud[-1]
        while on > 0 and levels[on - 1] > peak * 0.0316:
            on -= 1
        while off + 1 < len(levels) and levels[off + 1] > peak * 0.0316:
            off += 1
        spans.append(((len(samples) + on * hop + 200) * 1000 // rate,
                      (len(samples) + off * hop + 200) * 1000 // rate, text))
        samples += a
        samples += room_tone(rng, int(rate * rng.uniform(0.3, 0.9)))
    write_wave("real_clean.wav", samples, rate)
    mix("real_clean.wav", rate, len(samples) / rate, "real_mixed.wav", 0.5)
    with open("real.txt", "w") as f:
        f.write("\n".join(t for _, _, t in spans) + "\n")
    loose_srt(spans, "real_loose.srt", rng)
    with open("real_truth.json", "w") as f:
        json.dump(spans, f)
    report("real speech (LibriVox + cards), clean", align(["real.txt", "real_clean.wav"]), spans)
    report("real speech, noise + music", align(["real.txt", "real_mixed.wav"]), spans)
    report("  re-timed subtitle (+2.5 s, +-400 ms)",
           align(["--retime", "real_loose.srt", "real_mixed.wav"]), spans)


def hour():
    rng = random.Random(11)
    subjects = ["The old man", "My sister", "A young teacher", "Our neighbour", "The driver",
                "Every student", "The doctor", "His friend", "The little girl", "A tired farmer"]
    verbs = ["walked to", "looked at", "talked about", "waited near", "painted", "remembered",
             "cleaned", "visited", "described", "found"]
    objects = ["the quiet station", "a red bicycle", "the new bridge", "an empty classroom",
               "the busy market", "a small garden", "the tall tower", "the river bank",
               "a wooden boat", "the city library"]
    tails = ["before breakfast", "after the storm", "on Sunday morning", "late at night",
             "in the spring", "without a word", "with great care", "for the first time"]
    lines = []
    while len(" ".join(lines).split()) < 9600:
        lines.append(f"{rng.choice(subjects)} {rng.choice(verbs)} {rng.choice(objects)} "
                     f"{rng.choice(tails)}.")
    with open("hour.txt", "w") as f:
        f.write("\n".join(lines) + "\n")
    subprocess.run(["espeak-ng", "-v", "en-gb+f3", "-s", "150", "-f", "hour.txt", "-w", "hour.wav"], check=True)
    with wave.open("hour.wav") as w:
        seconds = w.getnframes() / w.getframerate()
    subprocess.run(["lame", "--quiet", "-b", "64", "hour.wav", "hour.mp3"], check=True)
    print(f"{len(lines)} sentences, {seconds / 60:.1f} min of audio, load average "
          f"{os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")
    for media in ("hour.wav", "hour.mp3"):
        out = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "taskset", "-c", "0", CLI,
                              "align", "--progress", "hour.txt", media], capture_output=True, text=True)
        report_lines = out.stderr.strip().splitlines()
        wall, user, system, kb = report_lines[-1].split()
        cpu = float(user) + float(system)
        gap = [l for l in report_lines if l.startswith("longest wait")][0].split(": ")[1]
        result = json.loads(out.stdout)
        print(f"  {media}: {float(wall):.1f} s on one core ({seconds / float(wall):.0f}x real time), "
              f"{cpu:.1f} s of processor time ({seconds / cpu:.0f}x), peak memory "
              f"{int(kb) / 1024:.0f} MB, not found "
              f"{sum(1 for s in result['sentences'] if not s['found'])}, longest wait between "
              f"progress reports {gap}")


if "--real-only" not in sys.argv:
    espeak_lesson()
real_lesson()
if "--hour" in sys.argv:
    hour()
