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
    LibriVox (public domain), "cards", "go forward" and TIDIGITS recordings
    joined with pauses, the truth being each recording's speech onset and
    offset by the level of its first difference (free of offset and rumble);
  - re-timing: the same sentences as a subtitle shifted by 2.5 s and each
    time jittered by up to +-400 ms.
Speed and memory (--hour): an hour of espeak-ng speech as a WAVE file,
aligned by one process on one core; wall time, real-time factor and peak
resident memory (GNU time).
Real recordings (--corpus DIR): every folder of DIR holding audio.wav,
transcript.txt (one unit a line), reference.tsv (start_ms, end_ms, text a
row) and language, aligned with --language; errors of every line's start and
end per language (median, 95th percentile, worst, count over 250 ms), and the
ends that cut speech: the high-passed level of the 100 ms outside a span is
6 dB or more above the floor of the pause around it. --real-only skips the
espeak-ng and pocketsphinx cases. --verbose adds each sentence's confidence
and every boundary off by more than 100 ms or cutting speech, with its text
and the level around it (see picture()), to tell what kind of error dominates;
in the espeak-ng and pocketsphinx cases, every boundary off by more than
100 ms with its text."""
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
    if "--verbose" in sys.argv:
        for s, (start, end, text) in zip(result["sentences"], spans):
            for side, truth, found in (("start", start, s["startMs"]), ("end", end, s["endMs"])):
                if abs(found - truth) > 100:
                    print(f"      {side:5s} {truth:6d} -> {found:6d}  ({found - truth:+d} ms)  {text[:48]}")


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
    # Two headerless 16 kHz recordings, their words named by the package: the
    # grammar goforward.gram is written for goforward.raw, and TIDIGITS file
    # names spell their digits (z is zero).
    items += [(data + "goforward.raw", "go forward ten meters"),
              (data + "tidigits/dhd.2934z.raw", "two nine three four zero")]
    rng, rate = random.Random(3), 16000
    samples, spans = room_tone(rng, rate), []
    for path, text in items:
        if path.endswith(".raw"):
            a = array.array("h", open(path, "rb").read())
        else:
            with wave.open(path) as w:
                a = array.array("h", w.readframes(w.getnframes()))
        hop = 160
        # Levels of the first difference (a high-pass, 6 dB per octave): the
        # LibriVox recordings carry a DC offset of about 230 and a rumble
        # below 100 Hz (zero crossings all but absent) at -45 dBFS, as loud as
        # their faint speech edges, which would otherwise count as speech up
        # to each file's ends; fricatives, the faintest edges, keep their level.
        d = array.array("i", [0]) + array.array("i", (a[i] - a[i - 1] for i in range(1, len(a))))
        levels = [math.sqrt(sum(x * x for x in d[i:i + 400]) / 400 + 1)
                  for i in range(0, len(a) - 400, hop)]
        peak = sorted(levels)[int(0.95 * len(levels))]
        # Speech: frames within 20 dB of the loud frames; its edges walk out
        # while the level stays within 30 dB (soft consonants), not into
        # breaths or room tone further down.
        loud = [i for i, v in enumerate(levels) if v > peak * 0.1]
        # Sound already under way at a file's first frame and followed by
        # a pause (0930 opens with 80 ms at -16 dB, then 150 ms at -40 dB)
        # is the previous sentence's last word, cut there by the corpus.
        if loud[0] == 0:
            quiet = next((i for i, v in enumerate(levels) if v < peak * 0.0316), len(levels))
            if quiet < 20 and all(v < peak * 0.0316 for v in levels[quiet:quiet + 5]):
                loud = [i for i in loud if i > quiet]
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
    report("real speech (12 recordings), clean", align(["real.txt", "real_clean.wav"]), spans)
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


def levels_of(path):
    """High-passed (first difference) level in dB of 10 ms frames."""
    with wave.open(path) as w:
        rate = w.getframerate()
        a = array.array("h", w.readframes(w.getnframes()))
    hop = rate // 100
    out = []
    for i in range(0, len(a) - hop, hop):
        power = sum((a[k] - a[k - 1]) ** 2 for k in range(max(i, 1), i + hop)) / hop
        out.append(10 * math.log10(power + 1))
    return out


def cuts_speech(levels, start_ms, end_ms, before, after):
    """Which of "start" and "end" cut speech: the 100 ms before start or after
    end hold a mean power 6 dB or more above the floor (median level) of the
    pause on that side, frames before..start and end..after (ms)."""
    cut = []
    for side, outside, pause in (
            ("start", range(start_ms // 10 - 10, start_ms // 10), range(before // 10, start_ms // 10)),
            ("end", range(end_ms // 10, end_ms // 10 + 10), range(end_ms // 10, after // 10))):
        quiet = sorted(levels[k] for k in pause if 0 <= k < len(levels))
        frames = [levels[k] for k in outside if 0 <= k < len(levels)]
        if not quiet or not frames:
            continue
        floor = quiet[len(quiet) // 2]
        if 10 * math.log10(sum(10 ** (v / 10) for v in frames) / len(frames)) >= floor + 6:
            cut.append(side)
    return cut


def picture(levels, truth_ms, found_ms, pause_from, pause_to):
    """The level around a boundary, 10 ms a character, against the floor of
    the true pause (frames pause_from..pause_to ms): ' ' under 3 dB above it,
    '.' 3-6, ':' 6-12, '+' 12-20, '*' 20-30, '#' more; T the truth, F where
    the aligner put it (X both)."""
    quiet = sorted(levels[k] for k in range(pause_from // 10, pause_to // 10) if 0 <= k < len(levels))
    floor = quiet[len(quiet) // 2] if quiet else min(levels)
    first = max(min(truth_ms, found_ms) // 10 - 25, 0)
    row = ""
    for k in range(first, min(max(truth_ms, found_ms) // 10 + 25, len(levels))):
        above = levels[k] - floor
        c = next(ch for limit, ch in ((3, " "), (6, "."), (12, ":"), (20, "+"), (30, "*"), (1e9, "#"))
                 if above < limit)
        if k in (truth_ms // 10, found_ms // 10):
            c = "X" if truth_ms // 10 == found_ms // 10 else ("T" if k == truth_ms // 10 else "F")
        row += c
    return f"{first * 10:6d} ms |{row}|"


def squeeze(text):
    return re.sub(r"\s+", "", text)


def corpus(root):
    """Per line of each transcript, the sentences the aligner made of it."""
    figures = {}
    for name in sorted(os.listdir(root)):
        folder = os.path.join(root, name)
        if not os.path.isfile(os.path.join(folder, "reference.tsv")):
            continue
        language = open(os.path.join(folder, "language")).read().strip()
        rows = [line.rstrip("\n").split("\t") for line in open(os.path.join(folder, "reference.tsv"))][1:]
        result = align(["--language", language, os.path.join(folder, "transcript.txt"),
                        os.path.join(folder, "audio.wav")])
        sentences, k, errors = result["sentences"], 0, []
        levels, cut, cut_reference, lost = levels_of(os.path.join(folder, "audio.wav")), 0, 0, 0
        for index, (start, end, text) in enumerate(rows):
            before = int(rows[index - 1][1]) if index > 0 else 0
            after = int(rows[index + 1][0]) if index + 1 < len(rows) else len(levels) * 10
            line, first, last = squeeze(text), k, k
            taken = ""
            while k < len(sentences) and len(taken) < len(line):
                taken += squeeze(sentences[k]["text"]); last = k; k += 1
            s, e = sentences[first]["startMs"], sentences[last]["endMs"]
            lost += sum(1 for x in sentences[first:last + 1] if not x["found"])
            errors += [(abs(s - int(start)), name, "start", int(start), s, text, before, int(start)),
                       (abs(e - int(end)), name, "end", int(end), e, text, int(end), after)]
            sides = cuts_speech(levels, s, e, before, after)
            errors[-2:] = [x + (x[2] in sides,) for x in errors[-2:]]
            cut += len(sides)
            cut_reference += len(cuts_speech(levels, int(start), int(end), before, after))
        figures.setdefault(language, []).append((errors, cut, cut_reference, lost, result["seconds"],
                                                 len(levels) / 100))
        worst = max(errors)
        print(f"  {name:24s} median {statistics.median(x[0] for x in errors):5.0f} ms  worst "
              f"{worst[0]:5.0f} ms ({worst[2]} {worst[3]} -> {worst[4]})  over 250 ms "
              f"{sum(1 for x in errors if x[0] > 250)}  cut {cut} (reference {cut_reference})  "
              f"not found {lost}")
        if "--verbose" in sys.argv:
            print("      confidence " + " ".join(f"{x.get('confidence', 0):.2f}" for x in sentences))
            for x in errors:
                if x[0] > 100 or x[8]:
                    print(f"      {x[2]:5s} {x[3]:6d} -> {x[4]:6d}  ({x[0]} ms)  "
                          f"{'cuts speech  ' if x[8] else ''}{x[5][:48]}")
                    print("        " + picture(levels, x[3], x[4], x[6], x[7]))
    for language, files in sorted(figures.items()):
        errors = sorted(x[0] for f in files for x in f[0])
        p95 = errors[min(len(errors) - 1, math.ceil(0.95 * len(errors)) - 1)]
        seconds = sum(f[5] for f in files)
        took = sum(f[4] for f in files)
        print(f"{language:4s} boundaries {len(errors):4d}  median {statistics.median(errors):5.0f} ms  "
              f"p95 {p95:5.0f} ms  worst {errors[-1]:5.0f} ms  over 250 ms "
              f"{sum(1 for e in errors if e > 250)}  speech cut {sum(f[1] for f in files)} "
              f"(reference {sum(f[2] for f in files)})  not found {sum(f[3] for f in files)}  "
              f"{seconds / max(took, 1e-3):.0f}x real time")


if "--corpus" in sys.argv:
    corpus(sys.argv[sys.argv.index("--corpus") + 1])
else:
    if "--real-only" not in sys.argv:
        espeak_lesson()
    real_lesson()
if "--hour" in sys.argv:
    hour()
