#!/usr/bin/python3
"""Measures what the game's sound costs and how well it keeps time.

    tools/measure_audio.py GAME_DIR [--bare BARE_WINDOW] [--runs 5] [--display 97]

GAME_DIR holds quirko-gyrelle, its sheets and its MIDI files (build/game).
BARE_WINDOW is the build's qg_bare_window (default: GAME_DIR/../tools/).

Everything runs under its own Xvfb (plain root, no window manager), its own
PulseAudio server with a null sink and its own settings folder; the player's
own settings and sound are never touched. Against a bare Qt window of the same
size and sgt-twiddle, five runs each, medians:

  first paint     exec to the first non-uniform pixels on screen, the
                  programs taking turns
  RSS             resident memory 3 s after start, music off
  wake-ups        context switches of all threads over 10 s idle, music off,
                  from 12 s after start (the game sets its sound device aside
                  after some seconds of silence); a thread that ends within
                  those 10 s is not counted
  music           RSS with music on, and the busiest thread's CPU besides the
                  window's (the audio thread) over 10 s
  effects         30 TORVANE moves 400 ms apart, pressed through XTEST and
                  recorded from the sink's monitor: each move's effect found
                  by a matched filter before the next press, and its start
                  against the moment of the press; music off and on

Needs Xvfb, pulseaudio, pacat, pactl, xdotool, sgt-twiddle and numpy; as
root it installs the missing Debian packages itself.
"""

import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import wave

PACKAGES = {"Xvfb": "xvfb", "pulseaudio": "pulseaudio", "pacat": "pulseaudio-utils",
            "pactl": "pulseaudio-utils", "xdotool": "xdotool", "sgt-twiddle": "sgt-puzzles"}
RATE = 44100
HUB = (165, 197)        # TORVANE's middle plate, in window coordinates
MOVES, SPACING = 30, 0.4
LATE_LIMIT_MS = 40.0
VERBOSE = False


def ensure_tools():
    os.environ["PATH"] += ":/usr/games"
    missing = sorted({pkg for tool, pkg in PACKAGES.items() if not shutil.which(tool)})
    try:
        import numpy  # noqa: F401
    except ImportError:
        missing.append("python3-numpy")
    if not missing:
        return
    if os.geteuid() != 0:
        sys.exit("measure_audio: install " + " ".join(missing))
    subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing, check=True,
                   env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"), stdout=subprocess.DEVNULL)


class Stage:
    """Xvfb, a private PulseAudio with a null sink, a settings folder.

    Xvfb runs without Composite: GTK would otherwise draw Twiddle through a
    32-bit visual, which a grab of the root window does not see."""

    def __init__(self, display):
        self.dir = tempfile.mkdtemp(prefix="qg-measure.")
        self.display = f":{display}"
        run = os.path.join(self.dir, "run")
        os.mkdir(run, 0o700)
        self.config = os.path.join(self.dir, "config")
        self.env = dict(os.environ, DISPLAY=self.display, XDG_RUNTIME_DIR=run, XDG_CONFIG_HOME=self.config,
                        PULSE_SERVER=f"unix:{run}/pulse/native")
        self.env.pop("PULSE_SINK", None)
        self.procs = []
        self.procs.append(subprocess.Popen(["Xvfb", self.display, "-screen", "0", "640x480x24", "-br", "-nolisten", "tcp",
                                            "-extension", "Composite"],
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        subprocess.run(["pulseaudio", "-D", "--exit-idle-time=-1", "-n", "--disallow-exit",
                        f"--log-target=file:{self.dir}/pulse.log",
                        "-L", "module-null-sink sink_name=nullsink", "-L", "module-native-protocol-unix"],
                       env=self.env, check=True)
        for _ in range(50):
            if subprocess.run(["pactl", "info"], env=self.env, capture_output=True).returncode == 0:
                break
            time.sleep(0.1)
        subprocess.run(["pactl", "set-default-sink", "nullsink"], env=self.env, check=True)
        # Without a stream the null sink does not keep time.
        self.procs.append(subprocess.Popen(["pacat", "--playback", "--raw", "--format=s16le", f"--rate={RATE}",
                                            "--channels=2", "--latency-msec=10", "--device=nullsink"],
                                           stdin=open("/dev/zero", "rb"), env=self.env))
        for _ in range(50):
            if subprocess.run(["xdpyinfo"], env=self.env, capture_output=True).returncode == 0:
                break
            time.sleep(0.1)

    def settings(self, music):
        folder = os.path.join(self.config, "QuirkoGames", "QuirkoGyrelle")
        shutil.rmtree(self.config, ignore_errors=True)
        os.makedirs(folder)
        with open(os.path.join(folder, "V1.ini"), "w") as f:
            # English chosen, TORVANE, sound on: no language window at start.
            f.write(f"[common]\ntongue=2\nmode=0\nsound=1\nmusic={1 if music else 0}\n")

    def close(self):
        for p in self.procs:
            p.kill()
            p.wait()
        subprocess.run(["pulseaudio", "--kill"], env=self.env, capture_output=True)
        shutil.rmtree(self.dir, ignore_errors=True)


def tasks(pid):
    return [os.path.join(f"/proc/{pid}/task", t) for t in os.listdir(f"/proc/{pid}/task")]


def status_value(path, key):
    with open(path) as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def switches(pid):
    """Context switches so far, by thread."""
    out = {}
    for t in tasks(pid):
        try:
            out[os.path.basename(t)] = (status_value(t + "/status", "voluntary_ctxt_switches") +
                                        status_value(t + "/status", "nonvoluntary_ctxt_switches"))
        except OSError:
            pass
    return out


def switches_between(a, b):
    # A thread that ended meanwhile takes its count with it: those are lost.
    return sum(n - a.get(t, 0) for t, n in b.items())


def cpu_ticks(pid):
    out = {}
    for t in tasks(pid):
        try:
            with open(t + "/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            out[os.path.basename(t)] = int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return out


class Program:
    def __init__(self, stage, argv):
        self.proc = subprocess.Popen(argv, env=stage.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                     cwd=stage.dir)

    def end(self):
        self.proc.send_signal(signal.SIGKILL)
        self.proc.wait()


def first_paint(stage, bare, argv):
    out = subprocess.run([bare, "--first-paint"] + argv, env=stage.env, capture_output=True, text=True, cwd=stage.dir)
    return float(out.stdout.strip()) if out.returncode == 0 else float("nan")


def idle(stage, argv):
    """RSS at 3 s, then wake-ups over 10 s from 12 s on, music off."""
    stage.settings(music=False)
    p = Program(stage, argv)
    time.sleep(3)
    rss = status_value(f"/proc/{p.proc.pid}/status", "VmRSS") / 1024
    time.sleep(9)
    before = switches(p.proc.pid)
    time.sleep(10)
    wakeups = switches_between(before, switches(p.proc.pid))
    p.end()
    return rss, wakeups


def music(stage, argv):
    """RSS with music on and the busiest thread besides the window's."""
    stage.settings(music=True)
    p = Program(stage, argv)
    time.sleep(6)
    a = cpu_ticks(p.proc.pid)
    time.sleep(10)
    b = cpu_ticks(p.proc.pid)
    rss = status_value(f"/proc/{p.proc.pid}/status", "VmRSS") / 1024
    p.end()
    hz = os.sysconf("SC_CLK_TCK")
    others = [b[t] - a.get(t, 0) for t in b if t != str(p.proc.pid)]
    return rss, 100.0 * max(others, default=0) / hz / 10


def window_origin(stage):
    wid = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "Quirko Gyrelle"], env=stage.env,
                         capture_output=True, text=True, timeout=20).stdout.split()[0]
    geo = subprocess.run(["xdotool", "getwindowgeometry", "--shell", wid], env=stage.env, capture_output=True,
                         text=True).stdout
    vals = dict(line.split("=", 1) for line in geo.split())
    return int(vals["X"]), int(vals["Y"])


class Recorder:
    """The sink's monitor, raw, with the arrival time of every chunk: the
    earliest arrival bounds when the recording began."""

    def __init__(self, stage):
        self.proc = subprocess.Popen(["pacat", "--record", "--raw", "--format=s16le", f"--rate={RATE}", "--channels=2",
                                      "--latency-msec=5", "--device=nullsink.monitor"], env=stage.env,
                                     stdout=subprocess.PIPE)
        self.data = bytearray()
        self.start = float("inf")
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        fd = self.proc.stdout.fileno()
        while True:
            chunk = os.read(fd, 8192)
            now = time.monotonic()
            if not chunk:
                return
            self.data += chunk
            self.start = min(self.start, now - len(self.data) / 4 / RATE)

    def stop(self):
        self.proc.terminate()
        self.thread.join(5)
        self.proc.wait()


class Mouse:
    """Presses through XTEST in this process: the moment of each press is
    known to within the X round trip, where a tool started per press adds
    its own start-up, and that varies."""

    def __init__(self, stage):
        import ctypes
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(stage.display.encode())
        if not self.display:
            sys.exit("measure_audio: cannot open the X display")

    def click(self):
        """Presses and releases the left button; the moment the press was sent."""
        at = time.monotonic()
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.x11.XSync(self.display, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        self.x11.XSync(self.display, 0)
        return at

    def close(self):
        self.x11.XCloseDisplay(self.display)


def template(game_dir):
    import numpy as np
    wav = os.path.join(game_dir, "..", "generated", "sounds", "clack.wav")
    with wave.open(wav) as w:
        return np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(float) / 32768


def effects(stage, argv, clack, with_music):
    """Presses, and where each move's effect starts in the recording."""
    import numpy as np
    stage.settings(music=with_music)
    p = Program(stage, argv)
    x, y = window_origin(stage)
    time.sleep(4)  # the audio set up and the music under way
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + HUB[0]), str(y + HUB[1])], env=stage.env)
    rec = Recorder(stage)
    mouse = Mouse(stage)
    time.sleep(0.5)
    presses = []
    t0 = time.monotonic()
    for i in range(MOVES):
        while time.monotonic() < t0 + i * SPACING:
            time.sleep(0.001)
        presses.append(mouse.click())
    time.sleep(1)
    mouse.close()
    rec.stop()
    p.end()
    sound = np.frombuffer(bytes(rec.data), dtype="<i2").astype(float).reshape(-1, 2).mean(axis=1) / 32768
    n = len(clack)
    found, late = 0, []
    for k, press in enumerate(presses):
        # A press's effect starts before the next press: a late press must
        # not be credited with its follower's effect.
        until = min(press + 0.35, presses[k + 1]) if k + 1 < len(presses) else press + 0.35
        lo = int((press - rec.start - 0.05) * RATE)
        hi = int((until - rec.start) * RATE)
        if lo < 0 or hi + n > len(sound):
            continue
        seg = sound[lo:hi + n]
        num = np.correlate(seg, clack, mode="valid")
        energy = np.convolve(seg * seg, np.ones(n), mode="valid")
        corr = num / (np.sqrt(energy * np.dot(clack, clack)) + 1e-12)
        best = int(np.argmax(corr))
        if VERBOSE:
            print(f"  press at {press - presses[0]:6.3f} s: best match {corr[best]:.2f}, "
                  f"{1000 * ((lo + best) / RATE + rec.start - press):6.1f} ms after it")
        if corr[best] > 0.5:
            found += 1
            late.append(1000 * ((lo + best) / RATE + rec.start - press))
    return found, late


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("game_dir")
    ap.add_argument("--bare")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--display", type=int, default=97)
    ap.add_argument("--only", default="paint,idle,music,effects")
    ap.add_argument("--programs", default="game,bare,twiddle", help="which to measure for paint and idle")
    ap.add_argument("--verbose", action="store_true", help="every press's match")
    args = ap.parse_args()
    global VERBOSE
    VERBOSE = args.verbose
    ensure_tools()
    game_dir = os.path.abspath(args.game_dir)
    bare = args.bare or os.path.join(game_dir, "..", "tools", "qg_bare_window")
    game = [os.path.join(game_dir, "quirko-gyrelle")]
    programs = {"game": game, "bare": [bare], "twiddle": [shutil.which("sgt-twiddle") or "/usr/games/sgt-twiddle"]}
    only = args.only.split(",")
    programs = {k: v for k, v in programs.items() if k in args.programs.split(",")}
    med = statistics.median
    stage = Stage(args.display)
    try:
        if "paint" in only:
            stage.settings(music=False)
            # The programs take turns, so that a machine that speeds up or
            # slows down meanwhile weighs on each alike.
            ms = {name: [] for name in programs}
            for _ in range(args.runs):
                for name, argv in programs.items():
                    ms[name].append(first_paint(stage, bare, argv))
            for name, runs in ms.items():
                print(f"first paint  {name:8} median {med(runs):7.1f} ms   runs {' '.join(f'{v:.1f}' for v in runs)}")
        if "idle" in only:
            for name, argv in programs.items():
                r = [idle(stage, argv) for _ in range(args.runs)]
                print(f"idle         {name:8} RSS median {med(v[0] for v in r):6.1f} MB   "
                      f"wake-ups/10 s median {med(v[1] for v in r):5.0f}   runs {' '.join(str(v[1]) for v in r)}")
        if "music" in only:
            r = [music(stage, game) for _ in range(args.runs)]
            print(f"music        game     RSS median {med(v[0] for v in r):6.1f} MB   "
                  f"audio thread CPU median {med(v[1] for v in r):4.1f} %")
        if "effects" in only:
            clack = template(game_dir) * 0.5
            for with_music in (False, True):
                found, late = [], []
                for _ in range(args.runs):
                    f, l = effects(stage, game, clack, with_music)
                    found.append(f)
                    late += l
                on_time = sum(1 for v in late if v <= LATE_LIMIT_MS)
                print(f"effects      music {'on ' if with_music else 'off'} found per run "
                      f"{' '.join(f'{f}/{MOVES}' for f in found)}   start after press: median "
                      f"{med(late) if late else float('nan'):5.1f} ms, max {max(late, default=float('nan')):5.1f} ms, "
                      f"{on_time}/{MOVES * args.runs} within {LATE_LIMIT_MS:.0f} ms")
    finally:
        stage.close()


if __name__ == "__main__":
    main()
