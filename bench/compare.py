#!/usr/bin/python3
"""Measures Velmora's conversion against the least it can cost and against its peers.

Every converter turns the whole corpus (bench/corpus, made by make_corpus.sh) into output
files at compression percent 25 (quality 75), once at resize percent 100 and once at 50, the
way Velmora's conversion does: at r = 50 the quality-75 encoding is decoded again, halved by
area averaging and encoded at quality 90. Each measurement is repeated (BENCH_REPEAT, default
3), the repetitions interleaved across converters so that a change in the machine's load
touches all of them alike; the table shows the best repetition, since other work on the
machine only ever adds time. BENCH_NICE (for example -10, as root) raises the priority of
the measurements above the machine's other work.

- MP/s: source megapixels per second of wall-clock time.
- x floor: throughput divided by that of the floor in the same section (the minimal in-process
  libjpeg-turbo loop in "one core", two such processes in "two cores").
- cpu x: the floor's processor time divided by this converter's, a figure that background load
  disturbs less than wall-clock time.
- MiB: the largest resident set of any one process of the run (for a pipeline, its largest
  member), from the kernel's accounting of the finished processes.

"One core" runs pinned to one processor with the peers' threading turned off; "two cores" lets
each converter use both processors in its default way (Velmora and the floor: two files at a
time; ImageMagick and libvips: their own threads; the djpeg/cjpeg pipeline: its processes).
"One file at a time" converts each kind of file (baseline, grayscale, progressive) one file
after another, as the batch in the window and velmora-convert -j 1 do, with the second core free
for the conversion's stages (velmora-convert -j 1 begins the next file while a progressive
encoder makes its last passes on one core; the core's line is the batch's CompressFile, which
does not), against the one-core floor of the same files; it also shows the
stages run on one thread (the conversion before it became a pipeline), and checks that the
outputs are the same bytes. Below r = 100 the stages write their encoding at the quality
baseline even for a progressive source (it decodes to the same pixels) where the floor keeps it
progressive, so for progressive files the floor is the conversion as it was before. The preview
figures time one compression-slider step at quality 75 and 98.
Outputs go to a memory file system when there is one, so disks play no part.
"""
import os
import shlex
import shutil
import struct
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
BUILD = os.environ.get("VELMORA_BUILD_DIR", os.path.join(TOP, "build"))
FLOOR = os.path.join(BUILD, "bench", "velmora-bench-floor")
CORE = os.path.join(BUILD, "bench", "velmora-bench-convert")
PREVIEW = os.path.join(BUILD, "bench", "velmora-bench-preview")
PREVIEW_GUI = os.path.join(BUILD, "bench", "velmora-bench-preview-gui")
CLI = os.path.join(BUILD, "cli", "velmora-convert")
CONVERT = "/usr/bin/convert"  # the real ImageMagick, whatever else is on PATH
PYTHON = "/usr/bin/python3"  # Debian's, with Pillow
COMPRESS = 25
RESIZES = (100, 50)
REPEAT = int(os.environ.get("BENCH_REPEAT", "3"))


def jpeg_facts(path):
    """Width, height and whether the file has several scans, from its frame header."""
    with open(path, "rb") as f:
        data = f.read(1 << 20)
    i = 2
    while i + 9 < len(data) and data[i] == 0xFF:
        marker = data[i + 1]
        (length,) = struct.unpack(">H", data[i + 2 : i + 4])
        if marker in (0xC0, 0xC1, 0xC2):
            height, width = struct.unpack(">HH", data[i + 5 : i + 9])
            return width, height, marker == 0xC2, data[i + 9] == 1
        i += 2 + length
    raise ValueError(f"{path}: no frame header")


class Source:
    def __init__(self, path):
        self.path = path
        self.name = os.path.basename(path)
        self.width, self.height, self.progressive, self.gray = jpeg_facts(path)
        self.megapixels = self.width * self.height / 1e6


def shell(command):
    return ["/bin/sh", "-c", command]


def q(text):
    return shlex.quote(str(text))


# Each converter gives, for (sources, output directory, resize percent, cores), the processes
# to run and how many may run at once. None: the converter has no such mode.
def floor_jobs(sources, out, r, cores):
    base = [FLOOR, "-c", str(COMPRESS), "-r", str(r), "-o", out]
    if cores == 1:
        return [base + [s.path for s in sources]], 1
    return [base + [s.path] for s in sources], 2


def core_jobs(sources, out, r, cores, *extra):
    return [[CORE, *extra, "-c", str(COMPRESS), "-r", str(r), "-j", str(cores), "-o", out]
            + [s.path for s in sources]], 1


def frame_by_frame_jobs(sources, out, r, cores):
    return core_jobs(sources, out, r, cores, "--frame-by-frame") if cores == 1 else None


def cli_jobs(sources, out, r, cores):
    return [[CLI, "-c", str(COMPRESS), "-r", str(r), "-j", str(cores), "-o", out]
            + [s.path for s in sources]], 1


def imagemagick_jobs(sources, out, r, cores, float_dct):
    dct = "-define jpeg:dct-method=float" if float_dct else ""
    jobs = []
    for s in sources:
        colour = "-type TrueColor" if s.gray else ""
        scan = "-interlace JPEG" if s.progressive else "-interlace none"
        first = f"{CONVERT} {dct} {q(s.path)} {colour} -quality {100 - COMPRESS} {scan} " \
                "-sampling-factor 2x2,1x1,1x1"
        if r == 100:
            jobs.append(shell(f"{first} {q(os.path.join(out, s.name))}"))
        else:
            jobs.append(shell(f"{first} jpg:- | {CONVERT} {dct} jpg:- -scale {r}% -quality 90 "
                              f"-interlace none -sampling-factor 2x2,1x1,1x1 "
                              f"{q(os.path.join(out, s.name))}"))
    return jobs, 1


def vips_jobs(sources, out, r, cores):
    jobs = []
    for s in sources:
        options = f"Q={100 - COMPRESS}" + (",interlace" if s.progressive else "")
        load = f"vips colourspace {q(s.path)}" if s.gray else f"vips copy {q(s.path)}"
        tail = " srgb" if s.gray else ""
        target = os.path.join(out, s.name)
        if r == 100:
            jobs.append(shell(f"{load} {q(target + '[' + options + ']')}{tail}"))
        else:
            factor = 100 / r
            jobs.append(shell(f"{load} .jpg[{options}]{tail} | vips shrink stdin "
                              f"{q(target + '[Q=90,subsample_mode=on]')} {factor} {factor}"))
    return jobs, 1


def vipsthumbnail_jobs(sources, out, r, cores):
    if r == 100:
        return None
    jobs = []
    for s in sources:
        load = f"vips colourspace {q(s.path)}" if s.gray else f"vips copy {q(s.path)}"
        tail = " srgb" if s.gray else ""
        middle = os.path.join(out, "q75-" + s.name)
        size = f"{round(s.width * r / 100)}x{round(s.height * r / 100)}"
        jobs.append(shell(f"{load} {q(middle + '[Q=75]')}{tail} && vipsthumbnail {q(middle)} "
                          f"--size {size} -o {q(os.path.join(out, s.name) + '[Q=90,subsample_mode=on]')}"
                          f" && rm {q(middle)}"))
    return jobs, 1


def pillow_jobs(sources, out, r, cores):
    return [[PYTHON, os.path.join(HERE, "pillow_convert.py"), str(COMPRESS), str(r), out]
            + [s.path for s in sources]], 1


def djpeg_jobs(sources, out, r, cores):
    jobs = []
    for s in sources:
        widen = " | ppmtoppm" if s.gray else ""
        scan = " -progressive" if s.progressive else ""
        first = f"djpeg -dct float {q(s.path)}{widen} | cjpeg -dct float -quality {100 - COMPRESS}{scan}"
        target = q(os.path.join(out, s.name))
        if r == 100:
            jobs.append(shell(f"{first} > {target}"))
        else:
            jobs.append(shell(f"{first} | djpeg -dct float | pamscale {r / 100} | "
                              f"cjpeg -dct float -quality 90 > {target}"))
    return jobs, 1


class Converter:
    def __init__(self, key, title, jobs, single_env=None, cores=(1, 2)):
        self.key, self.title, self.jobs = key, title, jobs
        self.single_env = single_env or {}
        self.cores = cores


def converters():
    return [
        Converter("floor", "in-process libjpeg-turbo loop (floor)", floor_jobs),
        Converter("cli", "velmora-convert", cli_jobs),
        Converter("core", "Velmora core (CompressFile)", core_jobs),
        Converter("frames", "Velmora frame by frame (reference path)", frame_by_frame_jobs),
        Converter("im-float", "ImageMagick convert, float DCT",
                  lambda *a: imagemagick_jobs(*a, float_dct=True), {"MAGICK_THREAD_LIMIT": "1"},
                  cores=(1,)),
        Converter("im", "ImageMagick convert, default DCT",
                  lambda *a: imagemagick_jobs(*a, float_dct=False), {"MAGICK_THREAD_LIMIT": "1"}),
        Converter("vips", "libvips (vips copy / shrink)", vips_jobs, {"VIPS_CONCURRENCY": "1"}),
        Converter("vipsthumbnail", "vipsthumbnail, shrink-on-load (not equal work)",
                  vipsthumbnail_jobs, {"VIPS_CONCURRENCY": "1"}),
        Converter("pillow", "Pillow", pillow_jobs),
        Converter("djpeg", "djpeg | cjpeg -dct float (pamscale)", djpeg_jobs),
    ]


def run(jobs, parallel, env):
    """Runs the processes, at most `parallel` at a time; wall seconds, processor seconds and
    the largest resident set in KiB.

    Each process is started by GNU time, which reports its peak: a process started straight
    from this script would inherit the script's own high-water mark at exec."""
    start = time.perf_counter()
    pending, running = list(jobs), {}
    cpu, rss = 0.0, 0
    with tempfile.TemporaryDirectory() as reports:
        while pending or running:
            while pending and len(running) < parallel:
                argv = pending.pop(0)
                report = os.path.join(reports, str(len(pending)))
                timed = ["/usr/bin/time", "-f", "%M", "-o", report] + argv
                running[os.posix_spawn(timed[0], timed, env)] = (argv, report)
            pid, status, usage = os.wait4(-1, 0)
            argv, report = running.pop(pid)
            if os.waitstatus_to_exitcode(status) != 0:
                raise RuntimeError("failed: " + " ".join(argv))
            cpu += usage.ru_utime + usage.ru_stime
            with open(report) as f:
                rss = max(rss, int(f.read().split()[-1]))
    return time.perf_counter() - start, cpu, rss


def clear(directory):
    shutil.rmtree(directory, ignore_errors=True)
    os.makedirs(directory)


def measure(sources, scratch):
    """Per (converter key, cores, r): lists of (wall, cpu, rss); and the output directories."""
    results, outputs = {}, {}
    rows = converters()
    for repetition in range(REPEAT):
        for r in RESIZES:
            for cores in (1, 2):
                for row in (row for row in rows if cores in row.cores):
                    out = os.path.join(scratch, f"{row.key}-{cores}-{r}")
                    planned = row.jobs(sources, out, r, cores)
                    if planned is None:
                        continue
                    jobs, parallel = planned
                    env = dict(os.environ)
                    if cores == 1:
                        env.update(row.single_env)
                        jobs = [["taskset", "-c", "0"] + argv for argv in jobs]
                    clear(out)
                    figures = run(jobs, parallel, env)
                    results.setdefault((row.key, cores, r), []).append(figures)
                    outputs[(row.key, cores, r)] = out
            print(f"  repetition {repetition + 1}/{REPEAT}, r = {r} done", file=sys.stderr)
    return rows, results, outputs


def print_table(rows, results, megapixels):
    for cores, heading in ((1, "One core"), (2, "Two cores")):
        print(f"\n{heading}: c = {COMPRESS}")
        line = f"{'converter':48}"
        for r in RESIZES:
            line += f" | r = {r:<3}  MP/s  x floor  cpu x    MiB"
        print(line)
        print("-" * len(line))
        for row in rows:
            cells = f"{row.title:48}"
            shown = False
            for r in RESIZES:
                figures = results.get((row.key, cores, r))
                base = results.get(("floor", cores, r))
                if not figures:
                    cells += " | " + " " * 36
                    continue
                shown = True
                wall = min(f[0] for f in figures)
                cpu = min(f[1] for f in figures)
                rss = max(f[2] for f in figures)
                base_wall = min(f[0] for f in base)
                base_cpu = min(f[1] for f in base)
                cells += (f" | {megapixels / wall:13.1f} {base_wall / wall:8.2f} "
                          f"{base_cpu / cpu:6.2f} {rss / 1024:6.0f}")
            if shown:
                print(cells)


def same_outputs(a, b):
    names = sorted(n for n in os.listdir(a) if not n.startswith("."))
    if names != sorted(n for n in os.listdir(b) if not n.startswith(".")):
        return False
    for name in names:
        with open(os.path.join(a, name), "rb") as x, open(os.path.join(b, name), "rb") as y:
            if x.read() != y.read():
                return False
    return True


def print_identity(outputs):
    print("\nByte identity of the outputs")
    pairs = [("core", 1, "core", 2, "Velmora core -j 1 and -j 2"),
             ("cli", 1, "cli", 2, "velmora-convert -j 1 and -j 2"),
             ("cli", 1, "core", 1, "velmora-convert and the core"),
             ("core", 1, "floor", 1, "Velmora and the in-process libjpeg-turbo loop"),
             ("core", 1, "frames", 1, "streaming and frame-by-frame conversion")]
    for a_key, a_cores, b_key, b_cores, title in pairs:
        verdicts = []
        for r in RESIZES:
            a, b = outputs.get((a_key, a_cores, r)), outputs.get((b_key, b_cores, r))
            if a and b:
                verdicts.append(f"r = {r}: " + ("identical" if same_outputs(a, b) else "DIFFERENT"))
        if verdicts:
            print(f"  {title:48} {', '.join(verdicts)}")


KINDS = (("baseline", lambda s: not s.progressive and not s.gray),
         ("grayscale", lambda s: s.gray),
         ("progressive", lambda s: s.progressive))


def one_file_at_a_time(sources, scratch):
    """One file after another, as the batch in the window and velmora-convert -j 1 convert:
    each kind of file on its own, against the floor pinned to one core (the "one core" floor),
    with the second core free for the conversion's stages. "stages on one thread" is the
    conversion's stages run one after another (for progressive files below r = 100 already
    without the progressive encoding in between, which the floor still makes)."""
    print("\nOne file at a time, the second core free (x floor: against the one-core floor of "
          "the same files)")
    variants = [
        ("floor", "in-process libjpeg-turbo loop, one core",
         lambda group, out, r: floor_jobs(group, out, r, 1)[0], True, {}),
        ("one-file-cli", "velmora-convert -j 1",
         lambda group, out, r: cli_jobs(group, out, r, 1)[0], False, {}),
        ("one-file-core", "Velmora core -j 1 (the batch's CompressFile)",
         lambda group, out, r: core_jobs(group, out, r, 1)[0], False, {}),
        ("one-file-one-thread", "Velmora core, stages on one thread",
         lambda group, out, r: core_jobs(group, out, r, 1, "--one-thread")[0], False, {}),
    ]
    print(f"  {'files':12} {'r':>3}  {'converter':46} {'MP/s':>7} {'x floor':>8} "
          f"{'x one thread':>13}")
    for kind, wanted in KINDS:
        group = [s for s in sources if wanted(s)]
        if not group:
            continue
        megapixels = sum(s.megapixels for s in group)
        for r in RESIZES:
            walls = {}
            for repetition in range(REPEAT):
                for key, _, jobs, pinned, extra in variants:
                    out = os.path.join(scratch, f"{key}-{kind}-{r}")
                    clear(out)
                    env = dict(os.environ)
                    env.update(extra)
                    commands = jobs(group, out, r)
                    if pinned:
                        commands = [["taskset", "-c", "0"] + argv for argv in commands]
                    wall, _, _ = run(commands, 1, env)
                    walls[key] = min(walls.get(key, wall), wall)
            for key, title, _, _, _ in variants:
                print(f"  {kind:12} {r:3}  {title:46} {megapixels / walls[key]:7.1f} "
                      f"{walls['floor'] / walls[key]:8.2f} "
                      f"{walls['one-file-one-thread'] / walls[key]:13.2f}")
            one = os.path.join(scratch, f"one-file-one-thread-{kind}-{r}")
            verdicts = ["identical" if same_outputs(os.path.join(scratch, f"{key}-{kind}-{r}"), one)
                        else "DIFFERENT" for key in ("one-file-cli", "one-file-core")]
            print(f"  {kind:12} {r:3}  bytes against stages on one thread: velmora-convert "
                  f"{verdicts[0]}, core {verdicts[1]}")


def single_file_memory(sources, scratch):
    print("\nPeak memory of one process converting one file (MiB; decoded size = 3 bytes a pixel)")
    tools = [("floor", floor_jobs), ("core", core_jobs), ("velmora-convert", cli_jobs)]
    picked = [s for s in sources if s.megapixels > 20]
    print(f"  {'file':24} {'decoded':>8}" + "".join(f" | {name + ' r=' + str(r):>22}"
                                                  for name, _ in tools for r in RESIZES))
    out = os.path.join(scratch, "single")
    for s in picked:
        cells = f"  {s.name:24} {s.width * s.height * 3 / 2**20:8.1f}"
        for name, jobs in tools:
            for r in RESIZES:
                clear(out)
                # The one-core job list of one file: a single process.
                (command,), _ = jobs([s], out, r, 1)
                _, _, rss = run([command], 1, dict(os.environ))
                cells += f" | {rss / 1024:22.1f}"
        print(cells)


def preview_step(sources):
    """One compression-slider step at quality 75 and at 98: the core's half (the stages), and
    the real preview frame with both previews and the repaint when the program is built."""
    picked = [s for s in sources if s.megapixels > 20 and not s.progressive and not s.gray]
    if not picked:
        return
    for compress in (COMPRESS, 2):
        for tool in (PREVIEW, PREVIEW_GUI):
            if not os.path.exists(tool):
                continue
            print()
            sys.stdout.flush()
            os.spawnv(os.P_WAIT, tool, [tool, "-c", str(compress), "-r", str(min(RESIZES)),
                                        "-n", "5", picked[0].path])


def raise_priority(level):
    """Puts this process and its children ahead of the machine's other work. Where the
    scheduler groups processes by session, the group's priority is what counts (run.sh starts
    this script in a session of its own for that)."""
    if not level:
        return
    os.nice(int(level))
    try:
        with open("/proc/self/autogroup", "w") as f:
            f.write(level)
    except OSError:
        pass


def main():
    corpus = os.path.join(HERE, "corpus")
    sources = sorted((Source(os.path.join(corpus, n)) for n in os.listdir(corpus)
                      if n.endswith(".jpg")), key=lambda s: (-s.megapixels, s.name))
    megapixels = sum(s.megapixels for s in sources)
    scratch_root = "/dev/shm" if os.path.isdir("/dev/shm") else os.path.join(HERE, "out")
    os.makedirs(scratch_root, exist_ok=True)
    scratch = tempfile.mkdtemp(prefix="velmora-bench-", dir=scratch_root)
    try:
        raise_priority(os.environ.get("BENCH_NICE"))
        print(f"Corpus: {len(sources)} files, {megapixels:.0f} megapixels; best of {REPEAT} "
              f"repetitions; priority {os.environ.get('BENCH_NICE', 0)}; "
              f"load average {os.getloadavg()[0]:.2f} at the start")
        rows, results, outputs = measure(sources, scratch)
        print_table(rows, results, megapixels)
        one_file_at_a_time(sources, scratch)
        print_identity(outputs)
        single_file_memory(sources, scratch)
        preview_step(sources)
        print(f"\nLoad average {os.getloadavg()[0]:.2f} at the end "
              f"(other work on the machine makes wall-clock figures noisy).")
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
