#!/usr/bin/env python3
"""Riddle site generator: turns the riddle bank into the 70 static GBK pages that the plug-in
downloads, plus a manifest for the tests.

    python3 site/generate_pages.py --bank site/riddles.txt --out DIR

writes DIR/jzw/1.htm ... DIR/jzw/70.htm (GBK, CR LF line ends), DIR/index.htm linking them, and
DIR/bank.tsv (GBK, LF line ends): one line per bank riddle, in bank order,
"page<TAB>question<TAB>answer" with question and answer exactly as they stand in the page.

Each riddle is one list item on one line, in the markup the plug-in's riddle pattern matches.
A bank that breaks a rule (see the header of riddles.txt) is rejected with the line numbers of
every breach, and nothing is written.
"""
import argparse
import math
import pathlib
import random
import sys
import unicodedata

PAGE_COUNT = 70
# The last page holds a single riddle, as the tail page of a real listing would.
SINGLE_RIDDLE_PAGE = 70
MIN_PER_PAGE = 2
# Pages hold up to this many riddles; a bank too big for it raises the limit evenly.
MAX_PER_PAGE = 9
# Fixed seed: the same bank always gives the same site, byte for byte.
SEED = 936

SEPARATOR = "｜"
# A chat message loses these before it is judged (the tab and the full-width space are kept there,
# but an answer holding them is no riddle a player can be expected to type).
BLANKS = " \t\u3000"
# Categories of characters that may not stand in a riddle: controls (tabs, every line break,
# including U+0085) and the Unicode line and paragraph separators.
FORBIDDEN_CATEGORIES = ("Cc", "Zl", "Zp")

ITEM = ('<li><span class="table_left">{q}</span><span class="table_right">'
        '<a href="javascript:;" class="answer" onclick="MM_popupMsg(\'答案：{a}\')">点击显示答案</a>'
        '</span></li>')
# Some hand-edited pages of the site carry upper-case markup; the pattern matches it all the same.
ITEM_UPPER = ('<LI><SPAN CLASS="table_left">{q}</SPAN><SPAN CLASS="table_right">'
              '<A HREF="javascript:;" CLASS="answer" ONCLICK="MM_popupMsg(\'答案：{a}\')">点击显示答案</A>'
              '</SPAN></LI>')
# On these pages every other riddle item (the first, third, ...) is written upper-case.
UPPER_CASE_PAGES = (7, 28, 49)

# List items that look like riddles but must not be taken for one, by page. Each is a list of the
# lines it occupies, and "marker" is a text of it that no matched riddle may contain.
DECOYS = {
    # An item broken by a line end inside its question.
    12: {"marker": "越等越少",
         "lines": ['<li><span class="table_left">什么东西你越等',
                   '越等越少？</span><span class="table_right"><a href="javascript:;" class="answer" '
                   'onclick="MM_popupMsg(\'答案：耐心\')">点击显示答案</a></span></li>']},
    # A notice in a span of another class, with a pop-up of the same shape.
    33: {"marker": "投稿须知",
         "lines": ['<li><span class="table_notice">投稿须知：题目请附答案</span><span class="table_right">'
                   '<a href="javascript:;" class="answer" onclick="MM_popupMsg(\'答案：请发到投稿信箱\')">'
                   '点击显示答案</a></span></li>']},
    # A riddle whose answer is still being collected: the pop-up has no answer text.
    56: {"marker": "答案征集中",
         "lines": ['<li><span class="table_left">（答案征集中）什么东西看不见摸不着？</span>'
                   '<span class="table_right"><a href="javascript:;" class="answer" '
                   'onclick="MM_popupMsg(\'答案：\')">点击显示答案</a></span></li>']},
}

SITE_NAME = "趣谜坊"
SITE_DOMAIN = "www.qumifang.example"


class BankError(Exception):
    """A riddle bank that cannot be published; the message lists every breach by line."""


def escape_html(text):
    """Writes & < > " ' as the entities a real page would use, so no riddle can break the markup."""
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;").replace("'", "&#39;"))


def character_problems(field, text):
    """Breaches of the rules that hold for question and answer alike."""
    problems = []
    if not text:
        problems.append(f"{field} is empty")
    for ch in text:
        if unicodedata.category(ch) in FORBIDDEN_CATEGORIES:
            problems.append(f"{field} holds the control character U+{ord(ch):04X}")
        else:
            try:
                ch.encode("gbk")
            except UnicodeEncodeError:
                problems.append(f"{field} holds {ch} (U+{ord(ch):04X}), which GBK cannot write")
    return problems


def answer_problems(answer):
    """Breaches that make an answer impossible to type in a chat message."""
    problems = []
    if any(ch in BLANKS for ch in answer):
        problems.append("answer holds a blank")
    if '"' in answer:
        problems.append("answer holds a double quote")
    return problems


def parse_bank(text, name="bank"):
    """The (question, answer) pairs of a bank's text, in order; BankError on any breach."""
    riddles = []
    first_line_of = {}
    errors = []
    for number, line in enumerate(text.split("\n"), start=1):
        line = line.removesuffix("\r")
        content = line.strip(BLANKS)
        if not content or content.startswith("#"):
            continue
        fields = line.split(SEPARATOR)
        if len(fields) != 2:
            errors.append(f"{name}:{number}: expected question {SEPARATOR} answer, with exactly one {SEPARATOR}")
            continue
        question, answer = (field.strip(BLANKS) for field in fields)
        problems = (character_problems("question", question) + character_problems("answer", answer) +
                    answer_problems(answer))
        if question in first_line_of:
            problems.append(f"question already on line {first_line_of[question]}")
        errors.extend(f"{name}:{number}: {problem}" for problem in problems)
        first_line_of.setdefault(question, number)
        riddles.append((question, answer))
    if errors:
        raise BankError("\n".join(errors))
    return riddles


def read_bank(path):
    """The riddles of the bank file at path; BankError when it is not UTF-8 or breaks a rule."""
    data = pathlib.Path(path).read_bytes()
    try:
        text = data.decode("utf-8-sig")
    except UnicodeDecodeError as error:
        line = data[:error.start].count(b"\n") + 1
        raise BankError(f"{path}:{line}: not UTF-8") from None
    return parse_bank(text, str(path))


def page_sizes(count, rng):
    """How many riddles each page holds (index 0 is page 1): one on SINGLE_RIDDLE_PAGE, between
    MIN_PER_PAGE and the limit on every other page, spread at random."""
    others = PAGE_COUNT - 1
    needed = 1 + others * MIN_PER_PAGE
    if count < needed:
        raise BankError(f"the bank holds {count} riddles; {PAGE_COUNT} pages need at least {needed}")
    limit = max(MAX_PER_PAGE, math.ceil((count - 1) / others))
    sizes = [MIN_PER_PAGE] * others
    for _ in range(count - needed):
        open_pages = [page for page, size in enumerate(sizes) if size < limit]
        sizes[rng.choice(open_pages)] += 1
    sizes.insert(SINGLE_RIDDLE_PAGE - 1, 1)
    return sizes


def lay_out(riddles):
    """The riddle indices of each page (index 0 is page 1), in page order; reproducible."""
    rng = random.Random(SEED)
    sizes = page_sizes(len(riddles), rng)
    order = list(range(len(riddles)))
    rng.shuffle(order)
    pages = []
    start = 0
    for size in sizes:
        pages.append(order[start:start + size])
        start += size
    return pages


def riddle_item(question, answer, upper):
    """The one-line list item of a riddle, question and answer given already escaped."""
    return (ITEM_UPPER if upper else ITEM).format(q=question, a=answer)


def page_link(page, text):
    return f'<a href="/jzw/{page}.htm">{text}</a>'


def page_lines(page, items):
    """Every line of riddle page `page`, its list holding the given item lines."""
    previous = page_link(page - 1, "上一页") if page > 1 else '<a href="/">返回首页</a>'
    following = page_link(page + 1, "下一页") if page < PAGE_COUNT else page_link(1, "回到第一页")
    return [
        '<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" '
        '"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">',
        '<html xmlns="http://www.w3.org/1999/xhtml">',
        "<head>",
        '<meta http-equiv="Content-Type" content="text/html; charset=gb2312" />',
        f"<title>脑筋急转弯大全及答案（第{page}页）_{SITE_NAME}</title>",
        '<meta name="keywords" content="脑筋急转弯,急转弯,脑筋急转弯及答案,益智问答" />',
        f'<meta name="description" content="{SITE_NAME}脑筋急转弯第{page}页，点击题目后的按钮查看答案。" />',
        '<link rel="stylesheet" type="text/css" href="/css/style.css" />',
        '<script type="text/javascript">',
        "function MM_popupMsg(msg) {",
        "  alert(msg);",
        "}",
        "</script>",
        "</head>",
        "<body>",
        f'<div id="top"><a href="/" class="logo">{SITE_NAME}</a><span>开心一刻，动动脑筋</span></div>',
        '<div id="nav">',
        "<ul>",
        '<li><a href="/">首页</a></li>',
        f'<li class="on">{page_link(1, "脑筋急转弯")}</li>',
        '<li><a href="/miyu/">猜谜语</a></li>',
        '<li><a href="/raokouling/">绕口令</a></li>',
        '<li><a href="/xiaohua/">小笑话</a></li>',
        "</ul>",
        "</div>",
        '<div id="main">',
        f'<div class="crumb">当前位置：<a href="/">首页</a> &gt; {page_link(1, "脑筋急转弯")} &gt; 第{page}页</div>',
        f"<h1>脑筋急转弯（第{page}页）</h1>",
        '<ul class="list">',
        *items,
        "</ul>",
        f'<div class="pages">{previous} 第{page}页 / 共{PAGE_COUNT}页 {following}</div>',
        "</div>",
        '<div id="footer">',
        '<ul class="links">',
        '<li><a href="/about.htm">关于本站</a></li>',
        '<li><a href="/contact.htm">联系我们</a></li>',
        '<li><a href="/tougao.htm">我要投稿</a></li>',
        "</ul>",
        f"<p>Copyright &copy; 2009-2026 {SITE_NAME} {SITE_DOMAIN} All Rights Reserved</p>",
        "</div>",
        "</body>",
        "</html>",
    ]


def index_lines():
    """Lines of the index page that links the 70 riddle pages, for reading the site in a browser."""
    links = [f"<li>{page_link(page, f'第{page}页')}</li>" for page in range(1, PAGE_COUNT + 1)]
    return [
        "<!DOCTYPE html>",
        "<html>",
        '<head><meta http-equiv="Content-Type" content="text/html; charset=gb2312" />'
        f"<title>{SITE_NAME}</title></head>",
        "<body>",
        f"<h1>{SITE_NAME}：脑筋急转弯</h1>",
        "<ul>",
        *links,
        "</ul>",
        "</body>",
        "</html>",
    ]


def page_items(page, riddles):
    """The item lines of a page: its escaped riddles, with the page's decoy after the first."""
    items = [riddle_item(question, answer, page in UPPER_CASE_PAGES and position % 2 == 0)
             for position, (question, answer) in enumerate(riddles)]
    if page in DECOYS:
        items[1:1] = DECOYS[page]["lines"]
    return items


def write_gbk(path, lines, line_end):
    path.write_bytes("".join(line + line_end for line in lines).encode("gbk"))


def write_site(riddles, out):
    """Writes the pages, the index and the manifest of the riddles into the folder out; a bank
    that cannot fill the pages raises BankError before anything is written."""
    pages = lay_out(riddles)
    escaped = [(escape_html(question), escape_html(answer)) for question, answer in riddles]
    page_of = [0] * len(riddles)
    folder = pathlib.Path(out) / "jzw"
    folder.mkdir(parents=True, exist_ok=True)
    for page, indices in enumerate(pages, start=1):
        for index in indices:
            page_of[index] = page
        items = page_items(page, [escaped[index] for index in indices])
        write_gbk(folder / f"{page}.htm", page_lines(page, items), "\r\n")
    write_gbk(pathlib.Path(out) / "index.htm", index_lines(), "\r\n")
    manifest = [f"{page}\t{question}\t{answer}" for page, (question, answer) in zip(page_of, escaped)]
    write_gbk(pathlib.Path(out) / "bank.tsv", manifest, "\n")


def main(argv=None):
    parser = argparse.ArgumentParser(description="Generate the riddle site from the riddle bank.")
    parser.add_argument("--bank", required=True, help="riddle bank (UTF-8 text)")
    parser.add_argument("--out", required=True, help="folder to write the site into")
    arguments = parser.parse_args(argv)
    try:
        riddles = read_bank(arguments.bank)
        write_site(riddles, arguments.out)
    except (BankError, OSError) as error:
        print(error, file=sys.stderr)
        return 1
    print(f"{len(riddles)} riddles on {PAGE_COUNT} pages in {arguments.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
