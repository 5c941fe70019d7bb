#!/usr/bin/env python3
"""Checks of the riddle site: the generated pages give back every bank riddle through the
plug-in's riddle pattern, the generator refuses banks a player could not play, and the server
hands out the pages unchanged.

    python3 site/test_site.py
    python3 -m unittest discover -s site -p test_site.py
"""
import collections
import html
import pathlib
import re
import signal
import subprocess
import sys
import tempfile
import unittest
import urllib.request

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
import generate_pages  # noqa: E402

GENERATOR = HERE / "generate_pages.py"
SERVER = HERE / "serve.py"
BANK = HERE / "riddles.txt"

# The plug-in's riddle pattern, as it runs it: letters regardless of case, "." stops at line ends.
RIDDLE_PATTERN = re.compile(
    r"""<li><span class="table_left">(.{1,}?)</span><span class="table_right"><a href="javascript:;" """
    r"""class="answer" onclick="MM_popupMsg\('答案：(.{1,}?)'\)">点击显示答案</a></span></li>""",
    re.IGNORECASE)


def as_on_page(text):
    """The text as a page writes it: & < > " as named entities, ' as &#39;."""
    return html.escape(text, quote=True).replace("&#x27;", "&#39;")


def generate(bank, out):
    return subprocess.run([sys.executable, str(GENERATOR), "--bank", str(bank), "--out", str(out)],
                          capture_output=True, text=True, timeout=60)


class GeneratedSiteTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.out = pathlib.Path(cls.folder.name) / "site"
        result = generate(BANK, cls.out)
        if result.returncode != 0:
            raise AssertionError(f"generator failed: {result.stderr}")
        cls.bank = generate_pages.read_bank(BANK)
        cls.raw = {page: (cls.out / "jzw" / f"{page}.htm").read_bytes()
                   for page in range(1, generate_pages.PAGE_COUNT + 1)}
        cls.matches = {page: list(RIDDLE_PATTERN.finditer(raw.decode("gbk"))) for page, raw in cls.raw.items()}

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_every_bank_riddle_is_matched_once_as_escaped_in_the_manifest(self):
        found = collections.Counter((m.group(1), m.group(2)) for found in self.matches.values() for m in found)
        expected = collections.Counter((as_on_page(q), as_on_page(a)) for q, a in self.bank)
        self.assertEqual(found, expected)
        for question, answer in found:
            self.assertIn((html.unescape(question), html.unescape(answer)), self.bank)
        page_of = {(m.group(1), m.group(2)): page for page, found in self.matches.items() for m in found}
        manifest = [f"{page_of[as_on_page(q), as_on_page(a)]}\t{as_on_page(q)}\t{as_on_page(a)}\n"
                    for q, a in self.bank]
        self.assertEqual((self.out / "bank.tsv").read_bytes().decode("gbk"), "".join(manifest))

    def test_entities_and_upper_case_markup_are_exercised(self):
        texts = "".join(m.group(1) + m.group(2) for found in self.matches.values() for m in found)
        for entity in ("&amp;", "&lt;", "&gt;", "&quot;", "&#39;"):
            self.assertIn(entity, texts)
        self.assertTrue(any(m.group(0).startswith("<LI><SPAN") for found in self.matches.values() for m in found))

    def test_seventy_pages_one_single_riddle_none_empty(self):
        pages = sorted(int(path.stem) for path in (self.out / "jzw").iterdir())
        self.assertEqual(pages, list(range(1, 71)))
        sizes = {page: len(found) for page, found in self.matches.items()}
        self.assertEqual([page for page, size in sizes.items() if size == 1], [generate_pages.SINGLE_RIDDLE_PAGE])
        self.assertEqual([page for page, size in sizes.items() if size == 0], [])
        self.assertGreater(len(set(sizes.values())), 3)

    def test_decoys_are_on_their_pages_and_never_matched(self):
        for page, decoy in generate_pages.DECOYS.items():
            self.assertIn(decoy["marker"], self.raw[page].decode("gbk"))
        for found in self.matches.values():
            for m in found:
                for decoy in generate_pages.DECOYS.values():
                    self.assertNotIn(decoy["marker"], m.group(0))

    def test_pages_end_lines_with_cr_lf_only(self):
        for page, raw in self.raw.items():
            self.assertEqual(raw.count(b"\n"), raw.count(b"\r\n"), page)
            self.assertEqual(raw.count(b"\r"), raw.count(b"\r\n"), page)
            self.assertTrue(raw.endswith(b"</html>\r\n"), page)

    def test_same_bank_gives_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as again:
            self.assertEqual(generate(BANK, again).returncode, 0)
            for path in self.out.rglob("*"):
                if path.is_file():
                    self.assertEqual((pathlib.Path(again) / path.relative_to(self.out)).read_bytes(),
                                     path.read_bytes(), path)


class BankRulesTest(unittest.TestCase):
    def test_a_bad_line_added_to_the_bank_is_rejected_by_line_and_nothing_written(self):
        good = BANK.read_text(encoding="utf-8")
        bad_line = good.count("\n") + 1
        first_question = generate_pages.read_bank(BANK)[0][0]
        cases = [
            ("blank in the answer", "什么东西越吹越小？ ｜ 肥皂 泡", "blank"),
            ("full-width blank in the answer", "什么东西越吹越小？ ｜ 肥皂\u3000泡", "blank"),
            ("tab in the answer", "什么东西越吹越小？ ｜ 肥皂\t泡", "U+0009"),
            ("double quote in the answer", '什么东西越吹越小？ ｜ "泡泡"', "double quote"),
            ("non-GBK character in the answer", "什么东西越吹越小？ ｜ 泡泡\U0001F600", "GBK"),
            ("non-GBK character in the question", "什么东西越吹\u20a9越小？ ｜ 泡泡", "GBK"),
            ("duplicate question", f"{first_question} ｜ 别的答案", "already on line"),
            ("empty answer", "什么东西越吹越小？ ｜ ", "answer is empty"),
            ("no separator", "什么东西越吹越小？泡泡", "exactly one"),
            ("two separators", "什么东西｜越吹越小？ ｜ 泡泡", "exactly one"),
        ]
        with tempfile.TemporaryDirectory() as folder:
            for name, line, message in cases:
                with self.subTest(name):
                    bank = pathlib.Path(folder) / "bank.txt"
                    bank.write_text(good + line + "\n", encoding="utf-8")
                    out = pathlib.Path(folder) / "out"
                    result = generate(bank, out)
                    self.assertEqual(result.returncode, 1)
                    self.assertIn(f":{bad_line}: ", result.stderr)
                    self.assertIn(message, result.stderr)
                    self.assertFalse(out.exists())

    def test_a_bank_too_small_for_the_pages_is_rejected(self):
        with tempfile.TemporaryDirectory() as folder:
            bank = pathlib.Path(folder) / "bank.txt"
            bank.write_text("什么东西越吹越小？ ｜ 泡泡\n", encoding="utf-8")
            result = generate(bank, pathlib.Path(folder) / "out")
            self.assertEqual(result.returncode, 1)
            self.assertIn("at least", result.stderr)


class ServerTest(unittest.TestCase):
    def test_serves_a_page_byte_for_byte_and_stops_on_sigterm(self):
        with tempfile.TemporaryDirectory() as folder:
            self.assertEqual(generate(BANK, folder).returncode, 0)
            server = subprocess.Popen([sys.executable, str(SERVER), "--folder", folder, "--port", "0"],
                                      stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            try:
                line = server.stdout.readline()
                address = re.fullmatch(r"serving .+ at (http://127\.0\.0\.1:(\d+)/)\n", line)
                self.assertIsNotNone(address, line)
                with urllib.request.urlopen(address.group(1) + "jzw/7.htm", timeout=10) as response:
                    self.assertEqual(response.headers.get_content_type(), "text/html")
                    self.assertEqual(response.read(), (pathlib.Path(folder) / "jzw" / "7.htm").read_bytes())
            finally:
                server.send_signal(signal.SIGTERM)
                _, errors = server.communicate(timeout=10)
            self.assertEqual(server.returncode, 0)
            self.assertEqual(errors, "")


if __name__ == "__main__":
    unittest.main()
