"""Checks of the built runtime exe itself: what it imports, that it holds no
8-bit marker, and its resources read back field by field."""
import os
import struct
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from wine_session import RUNTIME, WIN32, WineSession, have_tools  # noqa: E402

# DLLs every Windows has; nothing else may be imported.
WINDOWS_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll", "shell32.dll",
                "msvcrt.dll", "advapi32.dll"}

BUTTON, EDIT, STATIC = 0x80, 0x81, 0x82

# The windows as they must be: (id, class, text, x, y, w, h, style, exstyle).
MAIN_DIALOG = (0x90CA0A47, 0x210, (6, 18, 186, 153), "", [
    (1, BUTTON, "开始(&S)", 131, 123, 44, 17, 0x50010001, 0x1),
    (2, BUTTON, "取消(&C)", 80, 123, 44, 17, 0x50010000, 0x1),
    (2222, EDIT, "", 29, 90, 129, 13, 0x50810080, 0x0),
    (3333, BUTTON, "...", 158, 90, 17, 13, 0x50010000, 0x20000),
    (4444, BUTTON, "如果可能的话创建文件备份", 29, 104, 129, 9, 0x50010003, 0x20),
    (1010, STATIC, 101, 5, 11, 20, 20, 0x50001003, 0x0),
    (65535, STATIC, "目标文件：", 29, 80, 49, 8, 0x50020000, 0x20),
    (1000, "msctls_progress32", "Progress1", 84, 143, 102, 10, 0x50000000, 0x0),
    (1112, STATIC, "#", 29, 51, 154, 26, 0x50020000, 0x20),
    (3, BUTTON, "关于(&A)...", 29, 123, 44, 17, 0x50010000, 0x1),
    (1113, STATIC, "#", 0, 143, 82, 10, 0x50021000, 0x0),
    (1111, EDIT, "", 29, 21, 146, 28, 0x50200804, 0x20004),
    (1110, STATIC, "#", 29, 11, 155, 8, 0x50020000, 0x20),
])
ABOUT_DIALOG = (0x90C008C2, 0x280, (0, 0, 156, 103), "-={ 关于 }=-", [
    (65535, STATIC, "MAINICON", 135, 6, 20, 20, 0x50001003, 0x0),
    (1, BUTTON, "确定", 56, 82, 44, 17, 0x50010001, 0x1),
    (1111, EDIT, "", 5, 6, 126, 39, 0x50200805, 0x20004),
    (2000, BUTTON, "", 5, 49, 147, 14, 0x50010000, 0x20000),
    (2001, BUTTON, "", 5, 65, 147, 14, 0x50010000, 0x20000),
])


class PeImage:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        assert self.data[pe:pe + 4] == b"PE\0\0"
        sections, optional_size = struct.unpack_from("<2xH12xH", self.data, pe + 4)
        self.optional = pe + 24
        self.magic, = struct.unpack_from("<H", self.data, self.optional)
        self.subsystem, = struct.unpack_from("<H", self.data, self.optional + 68)
        table = self.optional + optional_size
        self.sections = []
        for i in range(sections):
            name, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", self.data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raddr))
        directories = self.optional + 96
        self.resource_rva, _ = struct.unpack_from("<II", self.data, directories + 2 * 8)

    def offset(self, rva):
        for vaddr, size, raddr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError(rva)

    def resources(self):
        """{(type, name): bytes} for the first language of each."""
        base = self.offset(self.resource_rva)

        def entries(at):
            named, numbered = struct.unpack_from("<12xHH", self.data, base + at)
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, base + at + 16 + 8 * i)
                if key & 0x80000000:
                    length, = struct.unpack_from("<H", self.data, base + (key & 0x7FFFFFFF))
                    start = base + (key & 0x7FFFFFFF) + 2
                    key = self.data[start:start + 2 * length].decode("utf-16-le")
                yield key, target

        found = {}
        for kind, kind_dir in entries(0):
            for name, name_dir in entries(kind_dir & 0x7FFFFFFF):
                for _, leaf in entries(name_dir & 0x7FFFFFFF):
                    rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    found[(kind, name)] = self.data[self.offset(rva):self.offset(rva) + size]
                    break
        return found


class Reader:
    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.at)
        self.at += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def text(self):
        end = self.at
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def name_or_number(self):
        first, = struct.unpack_from("<H", self.data, self.at)
        if first == 0xFFFF:
            self.at += 2
            return self.take("H")
        return self.text()

    def align(self):
        self.at += -self.at % 4


def parse_dialog(data):
    r = Reader(data)
    version, signature, help_id, exstyle, style, count, x, y, w, h = r.take("HHIIIHhhhh")
    menu, window_class, caption = r.name_or_number(), r.name_or_number(), r.text()
    points, weight, italic, charset = r.take("HHBB")
    face = r.text()
    controls = []
    for _ in range(count):
        r.align()
        c_help, c_ex, c_style, cx, cy, cw, ch, cid = r.take("IIIhhhhI")
        cls, text = r.name_or_number(), r.name_or_number()
        extra = r.take("H")
        controls.append(dict(help=c_help, id=cid, cls=cls, text=text, rect=(cx, cy, cw, ch), style=c_style,
                             exstyle=c_ex, extra=extra))
    return dict(version=version, signature=signature, help=help_id, exstyle=exstyle, style=style, rect=(x, y, w, h),
                menu=menu, cls=window_class, caption=caption, font=(points, weight, italic, charset, face),
                controls=controls)


class RuntimeImage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.exists(RUNTIME):
            raise unittest.SkipTest("no Windows build")
        cls.image = PeImage(RUNTIME)
        cls.resources = cls.image.resources()

    def test_a_pe32_gui_program_importing_only_windows_dlls(self):
        self.assertEqual(self.image.magic, 0x10B)  # PE32
        self.assertEqual(self.image.subsystem, 2)  # Windows GUI
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", RUNTIME], capture_output=True, text=True,
                              check=True).stdout
        dlls = {line.split(":", 1)[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line}
        self.assertTrue(dlls, "no imports found")
        self.assertLessEqual(dlls, WINDOWS_DLLS)

    def test_no_8_bit_copy_of_the_marker(self):
        self.assertNotIn(b"@._P-DATA_.@", self.image.data)

    def test_string_999_is_the_marker(self):
        table = self.resources[(6, 999 // 16 + 1)]
        r = Reader(table)
        for _ in range(999 % 16):
            r.at += 2 + 2 * r.take("H")
        length = r.take("H")
        self.assertEqual(table[r.at:r.at + 2 * length].decode("utf-16-le"), "@._P-DATA_.@")

    def test_dialog_templates_field_by_field(self):
        for number, (style, exstyle, rect, caption, controls) in ((100, MAIN_DIALOG), (101, ABOUT_DIALOG)):
            with self.subTest(dialog=number):
                d = parse_dialog(self.resources[(5, number)])
                self.assertEqual((d["version"], d["signature"], d["help"]), (1, 0xFFFF, 0))
                self.assertEqual((d["style"], d["exstyle"], d["rect"]), (style, exstyle, rect))
                self.assertEqual((d["menu"], d["cls"], d["caption"]), ("", "", caption))
                self.assertEqual(d["font"], (9, 0, 0, 0, "宋体"))
                self.assertEqual(len(d["controls"]), len(controls))
                for got, want in zip(d["controls"], controls):
                    cid, cls, text, x, y, w, h, c_style, c_ex = want
                    self.assertEqual((got["id"], got["cls"], got["text"]), (cid, cls, text))
                    self.assertEqual((got["rect"], got["style"], got["exstyle"]), ((x, y, w, h), c_style, c_ex))
                    self.assertEqual((got["help"], got["extra"]), (0, 0))

    def test_two_icon_groups_of_one_64_pixel_24_bit_picture(self):
        pictures = []
        for name in ("MAINICON", 101):
            group = self.resources[(14, name)]
            reserved, kind, count = struct.unpack_from("<HHH", group, 0)
            self.assertEqual((kind, count), (1, 1))
            width, height, colors, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
            self.assertEqual((width, height, bits), (64, 64, 24))
            image = self.resources[(3, icon_id)]
            header = struct.unpack_from("<IiiHH", image, 0)
            self.assertEqual(header, (40, 64, 128, 1, 24))
            pictures.append(image)
        self.assertEqual(pictures[0], pictures[1])

    def test_string_999_loads_as_the_marker_bytes(self):
        if not have_tools():
            self.skipTest("no Wine")
        with WineSession() as session:
            probe = session.run([os.path.join(WIN32, "string-probe.exe"), RUNTIME])
            self.assertEqual(probe.stdout.decode().strip(), b"@._P-DATA_.@".hex())


if __name__ == "__main__":
    unittest.main(verbosity=2)
