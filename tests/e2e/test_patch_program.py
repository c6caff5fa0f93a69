"""The real patch program under Wine, worked through its windows."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zlib

sys.path.insert(0, os.path.dirname(__file__))
from wine_session import RUNTIME, TOOL, WineSession, decode, encode_hex, gbk, have_tools  # noqa: E402

SHOTS = os.path.join(os.path.dirname(__file__), "..", "..", "build", "screenshots")
session = None
work = None

ERROR = gbk("错误")
REPORT_CAPTION = gbk(" 补丁进程成功")
QUESTION_CAPTION = gbk("P处理失败")
PLACEHOLDER = gbk("[请选择进行补丁的目标文件]")
READY = gbk("就绪")
ORIGINAL = b"MZ original target bytes: DEMO DEMO end"


def setUpModule():
    global session, work
    if not have_tools():
        raise unittest.SkipTest("the Windows build, Wine or Xvfb is missing")
    work = tempfile.mkdtemp(prefix="quillbrand-e2e-")
    session = WineSession().__enter__()


def tearDownModule():
    if session:
        session.__exit__(None, None, None)
    if work:
        subprocess.run(["chattr", "-R", "-i", work], stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)


def toml_text(value):
    return '"' + value.replace("\\", "\\\\").replace('"', '\\"') + '"'


def make_program(name, targets, caption="测试补丁", about="About text", links=()):
    """targets: dicts of TOML target keys, each with an 'entries' list of dicts."""
    lines = ["caption = " + toml_text(caption), 'title = "标题行"', 'description = "说明文字"',
             "about = " + toml_text(about)]
    for number, (link_caption, link_target) in enumerate(links, 1):
        lines.append("link%d = { caption = %s, target = %s }" % (number, toml_text(link_caption), toml_text(link_target)))
    for target in targets:
        lines.append("[[target]]")
        for key, value in target.items():
            if key == "entries":
                continue
            lines.append("%s = %s" % (key, toml_text(value) if isinstance(value, str) else str(value).lower()))
        for entry in target.get("entries", []):
            lines.append("[[target.entry]]")
            for key, value in entry.items():
                lines.append("%s = %s" % (key, toml_text(value) if isinstance(value, str) else value))
    description = os.path.join(work, name + ".toml")
    with open(description, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    program = os.path.join(work, name + ".exe")
    subprocess.run([TOOL, "build", description, "-o", program, "--runtime", RUNTIME], check=True,
                   stdout=subprocess.DEVNULL)
    return program


def checked_target(name="target.bin", data=ORIGINAL, **extra):
    target = dict(file_name=name, expected_size=len(data), expected_crc="%08X" % zlib.crc32(data),
                  check_size=True, check_crc=True, size_text="%d 字节" % len(data), has_date=True,
                  date_text="2026-12-11", entries=[dict(kind="replace_all", offset=0, pattern_text="DEMO",
                                                        data_text="FULL")])
    target.update(extra)
    return target


class Window:
    """A running patch program and a driver working it."""

    def __init__(self, program, args=""):
        self.driver = session.driver()
        command = session.wine_path(program) + (" " + args if args else "")
        assert self.driver("start " + command) == "started"
        self.opened = self.driver("main 20000") == "main"

    def get(self, control):
        return self.driver.text("get %d" % control)

    def set_path(self, data):
        self.driver("set 2222 " + encode_hex(data))

    def owned(self, timeout=10000):
        reply = self.driver("owned %d" % timeout).split(" ")
        if reply[0] != "owned":
            return None
        return decode(reply[1]), decode(reply[2])

    def answer(self, button):
        return self.driver("answer %d" % button)

    def exit_code(self, timeout=15000):
        reply = self.driver("exit %d" % timeout)
        return int(reply.split()[1]) if reply.startswith("exit") else None

    def close(self):
        self.driver.close()


class NoPackage(unittest.TestCase):
    def test_the_bare_runtime_ends_at_once_without_a_window(self):
        driver = session.driver()
        driver("start " + session.wine_path(RUNTIME))
        self.assertEqual(driver("nowindow 20000"), "exit 0 windows 0")
        driver.close()


class StartTexts(unittest.TestCase):
    def test_texts_after_start(self):
        data_target = dict(file_name='"游戏数据文件"', check_size=False, check_crc=False, has_date=False)
        rows = [
            # targets, command-line tail, path box, start caption, status
            ([checked_target("game.exe")], "", b"game.exe", gbk("开始(&S)"), READY, "one target"),
            ([data_target], "", PLACEHOLDER, gbk("开始(&S)"), READY, "a quoted name"),
            ([checked_target("game.exe")], r"C:\games\other.exe", rb"C:\games\other.exe", gbk("开始(&S)"), READY,
             "a command-line argument"),
            ([checked_target("game.exe")], r'"C:\My Games\game.exe" second', rb"C:\My Games\game.exe",
             gbk("开始(&S)"), READY, "a quoted argument with blanks"),
            ([checked_target("a.exe"), data_target, checked_target("c.exe")], "ignored.exe", b"a.exe",
             gbk("下步 >"), READY + gbk(" [步进 1/3]"), "three targets"),
        ]
        for number, (targets, args, path_box, start, status, what) in enumerate(rows):
            with self.subTest(what):
                window = Window(make_program("start%d" % number, targets), args)
                self.assertTrue(window.opened)
                self.assertEqual(window.driver.text("caption"), gbk("测试补丁"))
                self.assertEqual(window.get(1110), gbk("标题行"))
                self.assertEqual(window.get(1111), gbk("说明文字"))
                self.assertEqual(window.get(1113), status)
                self.assertEqual(window.get(2222), path_box)
                self.assertEqual(window.get(1), start)
                self.assertEqual(window.driver("checked 4444"), "checked 1")
                self.assertEqual(window.driver("progress"), "progress 0")
                if number == 0:
                    panel = gbk("文件名字：game.exe\r\n文件大小：%d 字节\r\n文件日期：2026-12-11" % len(ORIGINAL))
                    self.assertEqual(window.get(1112), panel)
                    session.screenshot(os.path.join(SHOTS, "main-window.png"))
                if number == 4:
                    session.screenshot(os.path.join(SHOTS, "main-window-three-targets.png"))
                window.driver("click 2")  # Cancel
                self.assertEqual(window.exit_code(), 0)
                window.close()


class Patching(unittest.TestCase):
    def target_file(self, name, data=ORIGINAL):
        path = os.path.join(work, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_a_successful_patch_reports_and_closes(self):
        for keep_backup in (False, True):
            with self.subTest(existing_backup=keep_backup):
                path = self.target_file("ok-%d.bin" % keep_backup)
                if keep_backup:
                    with open(path + ".bak", "wb") as f:
                        f.write(b"an older backup")
                window = Window(make_program("ok%d" % keep_backup, [checked_target()]))
                wine_path = gbk(session.wine_path(path))
                window.set_path(wine_path)
                window.driver("click 1")
                caption, text = window.owned()
                self.assertEqual(caption, REPORT_CAPTION)
                self.assertEqual(text, wine_path + gbk(" - 文件被成功地补丁！\r\n[8 字节被写入]"))
                self.assertEqual(window.answer(1), "gone")
                self.assertEqual(window.exit_code(), 0)
                window.close()
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), ORIGINAL.replace(b"DEMO", b"FULL"))
                with open(path + ".bak", "rb") as f:
                    self.assertEqual(f.read(), b"an older backup" if keep_backup else ORIGINAL)

    def test_error_boxes(self):
        locked = self.target_file("locked.bin")
        subprocess.run(["chattr", "+i", locked], check=False)
        wrong_size = self.target_file("short.bin", b"short")
        wrong_crc = self.target_file("crc.bin", ORIGINAL.replace(b"end", b"END"))
        missing = os.path.join(work, "missing.bin")
        no_checks = dict(checked_target(), check_size=False, check_crc=False)
        rows = [
            (b"", no_checks, gbk("没有文件被选择。请首先选择进行补丁的目标文件。"), "an empty path"),
            (PLACEHOLDER, no_checks, gbk("没有文件被选择。请首先选择进行补丁的目标文件。"), "the placeholder"),
            (missing, no_checks, gbk(" - 文件没有被发现，或文件访问错误！"), "a missing file"),
            (locked, no_checks, gbk(" - 文件没有被发现，或文件访问错误！"), "a read-only file"),
            (wrong_size, checked_target(), gbk(" - 文件尺寸或版本不匹配！"), "a wrong size"),
            (wrong_crc, checked_target(), gbk(" - CRC32 错误。版本不匹配或者文件已经被补丁过！"), "a wrong checksum"),
        ]
        for number, (path, target, complaint, what) in enumerate(rows):
            with self.subTest(what):
                window = Window(make_program("error%d" % number, [target]))
                typed = gbk(session.wine_path(path)) if isinstance(path, str) else path
                window.set_path(typed)
                window.driver("click 1")
                caption, text = window.owned()
                self.assertEqual(caption, ERROR)
                self.assertEqual(text, (typed if isinstance(path, str) else b"") + complaint)
                self.assertEqual(window.answer(1), "gone")
                self.assertIsNone(window.owned(1500))  # one target: no question
                self.assertEqual(window.get(1113), READY)
                self.assertEqual(window.driver("progress"), "progress 0")
                window.driver("close")
                self.assertEqual(window.exit_code(), 0)
                window.close()
                if isinstance(path, str) and os.path.exists(path):
                    self.assertFalse(os.path.exists(path + ".bak"))
        subprocess.run(["chattr", "-i", locked], check=False)
        with open(locked, "rb") as f:
            self.assertEqual(f.read(), ORIGINAL)

    def test_three_targets_ask_to_go_on(self):
        short = self.target_file("three.bin", b"short")
        window = Window(make_program("three", [checked_target("a"), checked_target("b"), checked_target("c")]))
        question = gbk("在这个补丁断点将不会发生任何变化。\r\n无论如何都要继续进行下一步吗？")
        typed = gbk(session.wine_path(short))
        for answer, step, caption in ((7, 1, gbk("下步 >")), (6, 2, gbk("下步 >")), (6, 3, gbk("结束"))):
            window.set_path(typed)
            window.driver("click 1")
            self.assertEqual(window.owned()[0], ERROR)
            window.answer(1)
            self.assertEqual(window.owned(), (QUESTION_CAPTION, question))
            window.answer(answer)
            window.driver("sleep 300")
            self.assertEqual(window.get(1113), READY + gbk(" [步进 %d/3]" % step))
            self.assertEqual(window.get(1), caption)
        window.set_path(typed)
        window.driver("click 1")
        self.assertEqual(window.owned()[0], ERROR)
        window.answer(1)
        self.assertIsNone(window.owned(1500))  # the last target asks nothing
        window.driver("click 2")
        self.assertEqual(window.exit_code(), 0)
        window.close()


class FatalError(unittest.TestCase):
    def test_a_package_too_large_for_memory_ends_through_the_error_box(self):
        # A target that declares 4.2 million entries, with the bytes to hold
        # them: its entry array would need more than 2 GiB.
        count = 4_200_000
        target = b"\0" + b"\0" * 4 + b"\0" * 3 + b"\0" * 4 + b"\0" * 4 + b"\0" + count.to_bytes(4, "little")
        payload = b"\0\0" + b"\0" * 8 + b"\x01" + target + b"\0" * (6 * count)
        program = os.path.join(work, "huge.exe")
        with open(RUNTIME, "rb") as f, open(program, "wb") as out:
            out.write(f.read() + b"@._P-DATA_.@" + payload)
        driver = session.driver()
        driver("start " + session.wine_path(program))
        reply = driver("unowned 20000").split(" ")
        self.assertEqual(reply[0], "unowned")
        self.assertEqual(decode(reply[1]), b"Error")
        self.assertEqual(decode(reply[2]), b"Runtime error   8 at 00401000")
        self.assertEqual(driver("answer 1"), "gone")
        self.assertEqual(driver("exit 15000"), "exit 8")
        driver.close()


class Browsing(unittest.TestCase):
    def test_the_file_open_dialog_offers_the_name_and_filter_and_fills_the_path(self):
        chosen = os.path.join(work, "chosen.bin")
        with open(chosen, "wb") as f:
            f.write(ORIGINAL)
        target = dict(checked_target("game.exe"), file_filter="程序文件|*.exe|所有文件|*.*")
        window = Window(make_program("browse", [target]))
        for button, path_box in ((2, b"game.exe"), (1, gbk(session.wine_path(chosen)))):
            window.driver("click 3333")
            caption, _ = window.owned()
            self.assertEqual(caption, gbk("请选择进行补丁的目标文件！"))
            self.assertEqual(window.driver.text("ownedget 1148"), b"game.exe")  # the file name box
            self.assertEqual(window.driver.text("ownedget 1136"), gbk("程序文件"))  # the first filter
            window.driver("ownedset 1148 " + encode_hex(gbk(session.wine_path(chosen))))
            self.assertEqual(window.answer(button), "gone")
            window.driver("sleep 300")
            self.assertEqual(window.get(2222), path_box)
        window.driver("click 2")
        self.assertEqual(window.exit_code(), 0)
        window.close()


def press(key):
    """A real key press on the X display, as a user would type it."""
    subprocess.run(["xdotool", "key", key], env=session.env, check=True, timeout=30)


class Keyboard(unittest.TestCase):
    def test_enter_starts_esc_leaves_and_the_question_defaults_to_no(self):
        short = os.path.join(work, "keys.bin")
        with open(short, "wb") as f:
            f.write(b"short")
        window = Window(make_program("keys", [checked_target("a"), checked_target("b")]))
        window.set_path(gbk(session.wine_path(short)))
        press("Return")  # the Start button has the focus
        self.assertEqual(window.owned()[0], ERROR)
        press("Return")  # OK
        self.assertEqual(window.owned()[0], QUESTION_CAPTION)
        press("Return")  # No, the default
        window.driver("sleep 2500")
        self.assertIsNone(window.owned(500))
        self.assertEqual(window.get(1113), READY + gbk(" [步进 1/2]"))
        window.driver("click 3")
        self.assertEqual(window.owned()[0], gbk("-={ 关于 }=-"))
        press("Escape")  # does not close the About window
        window.driver("sleep 500")
        self.assertIsNotNone(window.owned(500))
        press("Return")  # OK does
        window.driver("sleep 2500")
        self.assertIsNone(window.owned(500))
        press("Escape")  # ends the main window
        self.assertEqual(window.exit_code(), 0)
        window.close()


class Ending(unittest.TestCase):
    def test_cancel_escape_and_the_close_box_end_the_program(self):
        for command in ("click 2", "close"):
            with self.subTest(command):
                window = Window(make_program("end", [checked_target()]))
                window.driver(command)
                self.assertEqual(window.exit_code(), 0)
                window.close()


class About(unittest.TestCase):
    def test_banner_text_and_links(self):
        banner = gbk("-={ Quillbrand Runtime }=-\r\n生成程序：Quillbrand 向导\r\n")
        rows = [
            ((("主页", "http://example.org"), ("文档", "readme.txt")), (1, 1)),
            ((("主页", ""), ("文档", "readme.txt")), (0, 1)),
            ((("", "http://example.org"), ("", "")), (0, 0)),
            ((("", ""), ("文档", "readme.txt")), (0, 1)),
        ]
        for number, (links, visible) in enumerate(rows):
            with self.subTest(links=links):
                window = Window(make_program("about%d" % number, [checked_target()], about="关于文字", links=links))
                window.driver("click 3")
                caption, _ = window.owned()
                self.assertEqual(caption, gbk("-={ 关于 }=-"))
                self.assertEqual(window.driver.text("ownedget 1111"), banner + gbk("关于文字"))
                self.assertEqual(window.driver("ownedvisible 2000"), "visible %d" % visible[0])
                self.assertEqual(window.driver("ownedvisible 2001"), "visible %d" % visible[1])
                if visible[1]:
                    self.assertEqual(window.driver.text("ownedget 2001"), gbk("文档"))
                if number == 0:
                    session.screenshot(os.path.join(SHOTS, "about-window.png"))
                self.assertEqual(window.driver("poke 2"), "still")  # Esc does not close it
                self.assertEqual(window.answer(1), "gone")
                window.driver("click 2")
                self.assertEqual(window.exit_code(), 0)
                window.close()


class Signed(unittest.TestCase):
    def test_a_signed_program_still_finds_its_package(self):
        if not shutil.which("osslsigncode"):
            self.skipTest("osslsigncode is missing")
        key, cert = os.path.join(work, "key.pem"), os.path.join(work, "cert.pem")
        subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                        "-days", "2", "-subj", "/CN=Quillbrand test"], check=True, capture_output=True)
        program = make_program("tosign", [checked_target("game.exe")])
        signed = os.path.join(work, "signed.exe")
        subprocess.run(["osslsigncode", "sign", "-certs", cert, "-key", key, "-in", program, "-out", signed],
                       check=True, capture_output=True)
        report = subprocess.run([TOOL, "inspect", signed], capture_output=True, text=True)
        self.assertEqual(report.returncode, 0, report.stdout)
        self.assertIn("an Authenticode signature", report.stdout)
        window = Window(signed)
        self.assertTrue(window.opened)
        self.assertEqual(window.get(2222), b"game.exe")
        window.driver("click 2")
        self.assertEqual(window.exit_code(), 0)
        window.close()


if __name__ == "__main__":
    unittest.main(verbosity=2)
