#!/usr/bin/env python3
"""tamrek-host as a user drives it: the built plug-in file, a script of chat
lines in UTF-8, the transcript on standard output; and the errors it gives for
a file that is no plug-in."""
import os
import subprocess
import sys
import tempfile
import unittest

HOST, PLUGIN = sys.argv[1], sys.argv[2]
NO_RIDDLE = "当前无脑筋急转弯题目 查看脑筋急转弯 发送@急转弯"


def run(*args, stdin=b""):
    return subprocess.run([HOST, *args], input=stdin, capture_output=True, timeout=30)


class HostTest(unittest.TestCase):
    def test_script_transcript_in_utf8(self):
        with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt", delete=False) as f:
            f.write("@显示题目\r\nhello\n@急转弯\n")
        try:
            result = run("--script", f.name, PLUGIN)
        finally:
            os.unlink(f.name)
        self.assertEqual(result.returncode, 0, result.stderr)
        out = result.stdout.decode("utf-8")
        self.assertTrue(out.startswith("Quv脑筋急转弯\n1.0版\nquv\n@急转弯 系统会随机发送一题脑筋急转弯"), out)
        self.assertIn("\nplugmain\n1\n假\n", out)
        self.assertIn("> @显示题目\n" + NO_RIDDLE + "\n", out)
        self.assertIn("> hello\n(empty reply)\n", out)
        self.assertIn("> @急转弯\n 获取脑筋急转弯失败 请稍后重试...\n", out)

    def test_raw_passes_bytes_unchanged(self):
        result = run("--raw", PLUGIN, stdin="@显示答案\n".encode("gbk"))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(b"\xbc\xd9\r\n", result.stdout)  # the info text's last line, CR LF kept
        self.assertIn(NO_RIDDLE.encode("gbk") + b"\n", result.stdout)

    def test_missing_file_and_missing_exports_end_with_status_1(self):
        for plugin in ("/nonexistent/tamrek.cqp.so", sys.argv[3]):
            result = run(plugin)
            self.assertEqual(result.returncode, 1, plugin)
            self.assertIn(b"tamrek-host:", result.stderr)
            self.assertIn(os.path.basename(plugin).encode(), result.stderr)

    def test_bad_usage_is_explained(self):
        result = run()
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"usage: tamrek-host", result.stderr)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
