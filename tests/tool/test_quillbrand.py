"""The quillbrand tool from the command line: build, inspect, diff, apply."""
import json
import os
import shutil
import subprocess
import tempfile
import unittest
import zlib

TOOL = os.environ.get("QUILLBRAND") or os.path.join(os.path.dirname(__file__), "..", "..", "build", "native",
                                                    "quillbrand")
MARKER = b"@._P-DATA_.@"


class ToolTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="quillbrand-tool-")
        # The tool only needs something that looks like a Windows program.
        self.runtime = self.path("runtime.exe")
        with open(self.runtime, "wb") as f:
            f.write(b"MZ" + b"\0" * 62 + b"stub runtime")

    def tearDown(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, data):
        with open(self.path(name), "wb" if isinstance(data, bytes) else "w") as f:
            f.write(data)
        return self.path(name)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def tool(self, *args):
        return subprocess.run([TOOL] + list(args), capture_output=True, text=True)

    def build(self, toml, name="patch.exe", *extra):
        description = self.write(name + ".toml", toml)
        return self.tool("build", description, "-o", self.path(name), "--runtime", self.runtime, *extra)


FULL_PACKAGE = """
scrambled = %s
reserved_byte = 9
caption = "补丁 caption"
title = "标题"
description = "说明\\r\\n第二行"
about = "关于"
link1 = { caption = "主页", target = "http://example.org" }
link2 = { caption = "文档", target = "readme.txt" }

[[target]]
file_name = "game.exe"
expected_size = 1234
expected_crc = "CBF43926"
check_size = true
check_crc = false
size_text = "1234 字节"
has_date = true
date_text = "2026-12-11"
file_filter = "程序|*.exe"
reserved_flag = 3
reserved_text = "r"

[[target.entry]]
kind = "write_at"
offset = 16
data = "41 42"

[[target.entry]]
kind = "replace_all_wildcard"
offset = 4
pattern = "48 8B ?? 05"
data_text = "X?Z"

[[target.entry]]
kind = "truncate_at"
offset = 1000

[[target]]
file_name = "\\"数据文件\\""
"""


class BuildAndInspect(ToolTest):
    def test_build_then_inspect_gives_back_every_field(self):
        for scrambled in ("false", "true"):
            with self.subTest(scrambled=scrambled):
                self.assertEqual(self.build(FULL_PACKAGE % scrambled).returncode, 0)
                result = self.tool("inspect", self.path("patch.exe"), "--json")
                self.assertEqual(result.returncode, 0, result.stderr)
                got = json.loads(result.stdout)
                self.assertEqual(got["scrambled"], scrambled == "true")
                self.assertEqual(got["reservedByte"], 9)
                self.assertEqual((got["caption"], got["title"], got["description"], got["about"]),
                                 ("补丁 caption", "标题", "说明\r\n第二行", "关于"))
                self.assertEqual(got["link1"], {"caption": "主页", "target": "http://example.org"})
                self.assertEqual(got["link2"], {"caption": "文档", "target": "readme.txt"})
                self.assertEqual((got["damaged"], got["trailingBytes"]), (False, 0))
                first, second = got["targets"]
                self.assertEqual(first["fileName"], "game.exe")
                self.assertEqual((first["expectedSize"], first["expectedCrc"]), (1234, 0xCBF43926))
                self.assertEqual((first["checkSize"], first["checkCrc"], first["hasDate"]), (True, False, True))
                self.assertEqual((first["sizeText"], first["dateText"], first["fileFilter"]),
                                 ("1234 字节", "2026-12-11", "程序|*.exe"))
                self.assertEqual((first["reservedFlag"], first["reservedText"]), (3, "r"))
                self.assertEqual(first["entries"], [
                    {"kind": 0, "kindName": "write_at", "offset": 16, "data": "41 42"},
                    {"kind": 4, "kindName": "replace_all_wildcard", "offset": 4, "data": "58 3F 5A",
                     "pattern": "48 8B 3F 05"},
                    {"kind": 5, "kindName": "truncate_at", "offset": 1000, "data": "", "pattern": ""},
                ])
                self.assertEqual(second["fileName"], '"数据文件"')
                self.assertEqual(second["entries"], [])

    def test_refusals_name_the_field_and_the_limit(self):
        long_text = "长" * 128  # 256 bytes in code page 936
        many = "".join('[[target]]\nfile_name = "t%d"\n' % i for i in range(17))
        rows = [
            ('title = "%s"\n[[target]]\n' % long_text, "title: 256 bytes after encoding, the limit is 255"),
            ('title = "x"\n', "no target"),
            (many, "17 targets, the limit is 16"),
            ('[[target]]\n[[target.entry]]\nkind = 6\noffset = 0\npattern = "41"\n', "kind: 6 has no name"),
            ('[[target]]\n[[target.entry]]\nkind = "replace_all"\noffset = 0\npattern = "%s"\n' % ("41 " * 256),
             "target[0].entry[0].pattern: 256 bytes after encoding, the limit is 255"),
            ('title = "a@._P-DATA_.@b"\n[[target]]\n', "scrambled = true may avoid it"),
            ('title = "😀"\n[[target]]\n', "title: has a character that code page 936 cannot store"),
            ('[[target]]\n[[target.entry]]\nkind = "write_at"\noffset = 0\ndata = "4"\n', "hex byte pairs"),
        ]
        for toml, message in rows:
            with self.subTest(message):
                result = self.build(toml)
                self.assertEqual(result.returncode, 2)
                self.assertIn(message, result.stderr)
                self.assertFalse(os.path.exists(self.path("patch.exe")))
        forced = self.build(rows[3][0], "patch.exe", "--force")
        self.assertEqual(forced.returncode, 0, forced.stderr)

    def test_inspect_tells_no_package_damage_and_trailing_bytes(self):
        self.assertEqual(self.tool("inspect", self.runtime).returncode, 2)
        self.assertIn("carries no package", self.tool("inspect", self.runtime).stdout)
        self.build(FULL_PACKAGE % "false")
        whole = self.read("patch.exe")
        self.write("cut.exe", whole[:-5])
        result = self.tool("inspect", self.path("cut.exe"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("DAMAGED: the payload declares 2 targets and ends early: 1 complete", result.stdout)
        self.write("tail.exe", whole + b"\0" * 7)
        result = self.tool("inspect", self.path("tail.exe"))
        self.assertEqual(result.returncode, 0)
        self.assertIn("7 trailing bytes follow the package", result.stdout)


class DiffAndApply(ToolTest):
    def test_diff_then_apply_reproduces_the_patched_file(self):
        base = bytes((i * 7 + i // 300) & 0xFF for i in range(3000))

        def changed(data, at, new):
            return data[:at] + new + data[at + len(new):]

        rows = [
            ("at the start", changed(base, 0, b"\x01\x02\x03")),
            ("at the end", changed(base, 2990, b"ZZZZZZZZZZ")),
            ("across 255-byte runs", changed(base, 100, bytes(600))),
            ("nearby runs", changed(changed(base, 500, b"A"), 503, b"B")),
            ("shorter", base[:1234]),
            ("longer", base + b"appended" * 100),
            ("identical", base),
        ]
        for what, patched in rows:
            with self.subTest(what):
                self.write("original.bin", base)
                self.write("patched.bin", patched)
                result = self.tool("diff", self.path("original.bin"), self.path("patched.bin"), "-o",
                                   self.path("diff.toml"), "--build", self.path("diff.exe"), "--runtime", self.runtime)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.write("target.bin", base)
                applied = self.tool("apply", self.path("diff.exe"), self.path("target.bin"))
                self.assertEqual(applied.returncode, 0, applied.stdout + applied.stderr)
                self.assertEqual(self.read("target.bin"), patched)
                self.assertEqual(self.read("target.bin.bak"), base)
                os.remove(self.path("target.bin.bak"))
                info = json.loads(self.tool("inspect", self.path("diff.exe"), "--json").stdout)
                for entry in info["targets"][0]["entries"]:
                    self.assertLessEqual(len(entry["data"].split()), 255)
                self.assertEqual(info["targets"][0]["expectedCrc"], zlib.crc32(base))

    def test_apply_exit_codes_and_messages(self):
        data = b"original DEMO bytes"
        toml = ('[[target]]\nfile_name = "t.bin"\nexpected_size = %d\nexpected_crc = "%08X"\ncheck_size = true\n'
                'check_crc = true\n[[target.entry]]\nkind = "replace_all"\noffset = 0\npattern_text = "DEMO"\n'
                'data_text = "FULL"\n') % (len(data), zlib.crc32(data))
        self.assertEqual(self.build(toml).returncode, 0)
        rows = [
            ("t.bin", data, 0, "补丁进程成功: %s - 文件被成功地补丁！\n[4 字节被写入]", "success"),
            ("short.bin", b"short", 1, "错误: %s - 文件尺寸或版本不匹配！", "a size mismatch"),
            ("crc.bin", data.replace(b"o", b"0"), 1, "错误: %s - CRC32 错误。版本不匹配或者文件已经被补丁过！", "a CRC mismatch"),
            ("missing.bin", None, 1, "错误: %s - 文件没有被发现，或文件访问错误！", "a missing file"),
        ]
        for name, content, code, message, what in rows:
            with self.subTest(what):
                if content is not None:
                    self.write(name, content)
                result = self.tool("apply", self.path("patch.exe"), self.path(name))
                self.assertEqual(result.returncode, code, result.stdout + result.stderr)
                self.assertEqual(result.stdout.strip(), message % self.path(name))
                if content is not None and code:
                    self.assertEqual(self.read(name), content)
                    self.assertFalse(os.path.exists(self.path(name + ".bak")))
        # An existing backup is kept as it was.
        self.write("t.bin", data)
        self.write("t.bin.bak", b"older")
        self.assertEqual(self.tool("apply", self.path("patch.exe"), self.path("t.bin")).returncode, 0)
        self.assertEqual(self.read("t.bin.bak"), b"older")
        # Bad usage and unreadable packages.
        self.assertEqual(self.tool("apply", self.path("patch.exe")).returncode, 2)
        self.assertEqual(self.tool("apply", self.runtime, self.path("t.bin")).returncode, 2)
        self.assertEqual(self.tool("apply", self.path("patch.exe"), self.path("t.bin"), "--target", "3").returncode, 2)

    def test_a_dry_run_changes_nothing_and_lists_the_ranges(self):
        data = b"original DEMO bytes"
        toml = '[[target]]\nfile_name = "t.bin"\n[[target.entry]]\nkind = "replace_all"\noffset = 0\npattern_text = "DEMO"\ndata_text = "FULL"\n'
        self.build(toml)
        self.write("t.bin", data)
        result = self.tool("apply", self.path("patch.exe"), self.path("t.bin"), "--dry-run")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("bytes 9 to 12", result.stdout)
        self.assertEqual(self.read("t.bin"), data)
        self.assertFalse(os.path.exists(self.path("t.bin.bak")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
