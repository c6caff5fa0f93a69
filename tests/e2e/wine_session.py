"""Runs the Windows programs under 32-bit Wine on a private X display.

One session per test run: an Xvfb of our own on a free display (stopped by
its pid, never anyone else's), a Wine prefix of the project's own in the
build folder, the zh_CN.UTF-8 locale so Wine's ANSI code page is 936, and
the "宋体" face mapped to an installed Chinese font.
"""
import os
import shutil
import subprocess
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.path.join(ROOT, "build")
WIN32 = os.path.join(BUILD, "win32")
NATIVE = os.path.join(BUILD, "native")
RUNTIME = os.path.join(ROOT, "dist", "quillbrand-runtime.exe")
TOOL = os.path.join(NATIVE, "quillbrand")
DRIVER = os.path.join(WIN32, "e2e-driver.exe")


def free_display():
    for number in range(71, 200):
        if not os.path.exists("/tmp/.X%d-lock" % number) and not os.path.exists("/tmp/.X11-unix/X%d" % number):
            return number
    raise RuntimeError("no free X display")


class WineSession:
    def __init__(self, prefix_name="wineprefix"):
        self.prefix = os.path.join(BUILD, prefix_name)
        self.xvfb = None
        self.env = None

    def __enter__(self):
        display = free_display()
        self.xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists("/tmp/.X11-unix/X%d" % display):
                break
            time.sleep(0.05)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all", WINEARCH="win32",
                        DISPLAY=":%d" % display, LANG="zh_CN.UTF-8", LC_ALL="zh_CN.UTF-8",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        if not os.path.exists(os.path.join(self.prefix, "system.reg")):
            subprocess.run(["wineboot", "-i"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=300)
            for face in ("宋体", "SimSun"):
                subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", face, "/d",
                                "WenQuanYi Micro Hei", "/f"], env=self.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, timeout=120)
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=120)
        return self

    def __exit__(self, *exc):
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)

    def run(self, args, timeout=60):
        return subprocess.run(["wine"] + args, env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              timeout=timeout)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-window", "root", path], env=self.env, check=True, timeout=60)

    def driver(self):
        return Driver(self)

    def wine_path(self, unix_path):
        # Z: is the Unix root in every Wine prefix.
        return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


class Driver:
    """One e2e-driver process; each command answers with one line."""

    def __init__(self, session):
        self.process = subprocess.Popen(["wine", DRIVER], env=session.env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.session = session

    def __call__(self, command):
        self.process.stdin.write((command + "\n").encode("utf-8"))
        self.process.stdin.flush()
        line = self.process.stdout.readline().decode("ascii").strip()
        if not line:
            raise RuntimeError("the driver stopped at: " + command)
        return line

    def text(self, command):
        """A command answering 'WORD HEX': the bytes, decoded from CP936."""
        word, hexbytes = self(command).split(" ", 1)
        return decode(hexbytes)

    def close(self):
        try:
            self("kill")
        except Exception:
            pass
        self.process.stdin.close()
        self.process.wait(timeout=30)
        self.process.stdout.close()


def decode(hexbytes):
    return b"" if hexbytes == "-" else bytes.fromhex(hexbytes)


def encode_hex(data):
    return data.hex() if data else "-"


def gbk(text):
    return text.encode("gbk")


def have_tools():
    """True when Wine, a display server and both builds are there. Under
    QB_REQUIRE_WINE (the test command sets it) a missing piece is an error,
    never a quiet skip."""
    missing = [tool for tool in ("wine", "Xvfb", "import") if not shutil.which(tool)]
    missing += [path for path in (RUNTIME, DRIVER, TOOL) if not os.path.exists(path)]
    if missing and os.environ.get("QB_REQUIRE_WINE"):
        raise RuntimeError("missing for the tests under Wine: " + ", ".join(missing))
    return not missing
