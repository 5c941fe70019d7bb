#!/usr/bin/env python3
"""Runs every benchmark of the native build and writes BENCHMARKS.md: each
figure beside the baseline it is compared with, the ratio, and the goal.

usage: benchmarks.py BUILD_BIN_FOLDER OUTPUT_FILE
"""
import datetime
import json
import os
import platform
import re
import subprocess
import sys


def google_benchmark(program):
    """Mean real time in ms of each benchmark of a Google Benchmark program."""
    output = subprocess.run([program, "--benchmark_format=json"], check=True,
                            capture_output=True, text=True).stdout
    scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
    return {b["name"]: b["real_time"] * scale[b["time_unit"]]
            for b in json.loads(output)["benchmarks"]}


def printed(program):
    return subprocess.run([program], check=True, capture_output=True, text=True).stdout


def rows(bin_folder):
    def run(name):
        return os.path.join(bin_folder, name)

    stream = google_benchmark(run("tamrek_stream_bench"))
    yield ("in-memory stream: 7-field record with a 64 MiB field, written and read",
           stream["WriteAndReadRecord"], "ms", "copy of 64 MiB into fresh memory",
           stream["CopyIntoFreshMemory"], "linear in the size (no ratio set)")
    yield ("in-memory stream: 64 MiB of header text read line by line",
           stream["ReadHeaderLines"], "ms", "memcpy of 64 MiB", stream["PlainCopy"],
           "linear in the size (no ratio set)")

    pages = google_benchmark(run("tamrek_codepage_bench"))
    yield ("16 MiB UTF-8 page to GBK (ConvertUtf8ToAnsi)", pages["BM_ConvertUtf8ToAnsi"], "ms",
           "one direct iconv call", pages["BM_IconvUtf8ToGbk"], "at most 2x")
    yield ("16 MiB Big5 page to GBK (ConvertBig5ToGbk)", pages["BM_ConvertBig5ToGbk"], "ms",
           "one direct iconv call", pages["BM_IconvBig5ToGbk"], "at most 2x")

    regex = google_benchmark(run("tamrek_regex_bench"))
    for size, label in (("65536", "64 KiB"), ("1048576", "1 MiB")):
        yield (f"riddle pattern through RegexObject over a {label} GBK page, every sub-match read",
               regex[f"RegexObjectScan/{size}"], "ms", "bare PCRE2-JIT scan of the page in UTF-16",
               regex[f"BarePcre2Scan/utf16_ready/{size}"], "at most 1.5x")
        yield (f"riddle pattern through RegexObject over a {label} GBK page, every sub-match read",
               regex[f"RegexObjectScan/{size}"], "ms",
               "the page converted to UTF-16 by the module's own conversion, then the bare scan",
               regex[f"BarePcre2Scan/converted_each_time/{size}"],
               "(goal set against the bare scan)")

    line = re.compile(r"(\d+) MiB: WebRequest ([\d.]+) s .*curl ([\d.]+) s .*peak memory (\d+) KiB")
    for mebibytes, ours, theirs, peak in line.findall(printed(run("tamrek_web_bench"))):
        goal = "at most 1.5x" if mebibytes == "64" else "(goal set at 64 MiB)"
        yield (f"WebRequest downloading {mebibytes} MiB on loopback", float(ours) * 1e3, "ms",
               "curl command line, same URL", float(theirs) * 1e3, goal)
        if mebibytes == "64":
            yield ("peak memory of the 64 MiB WebRequest run", int(peak) / 1024, "MiB",
                   "the body size", 64.0, "at most 4x")

    fetch = re.search(r"plugmain \S+ ([\d.]+) ms, bare libcurl fetch ([\d.]+) ms",
                      printed(run("tamrek_riddle_fetch_bench")))
    yield ("\"@急转弯\" through plugmain against the loopback site", float(fetch.group(1)), "ms",
           "bare libcurl fetch of the same page", float(fetch.group(2)), "at most 2x")


def goal_met(goal, ratio):
    limit = re.match(r"at most ([\d.]+)x", goal)
    if not limit:
        return ""
    return "yes" if ratio <= float(limit.group(1)) else "**no**"


def main():
    bin_folder, output = sys.argv[1:3]
    table = ["| figure | measured | baseline | baseline measured | ratio | goal | met |",
             "|---|---|---|---|---|---|---|"]
    for figure, ours, unit, baseline, theirs, goal in rows(bin_folder):
        ratio = ours / theirs if theirs else float("inf")
        table.append(f"| {figure} | {ours:.3f} {unit} | {baseline} | {theirs:.3f} {unit} | "
                     f"{ratio:.2f} | {goal} | {goal_met(goal, ratio)} |")
    cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo")
                if l.startswith("model name")), platform.machine())
    text = "\n".join([
        "# Benchmarks",
        "",
        f"Written by `scripts/benchmarks.sh` on {datetime.date.today()}, {cpu}, "
        f"{os.cpu_count()} cores, native Release build. Google Benchmark figures are its "
        "means, the downloads are medians of 5 rounds; all vary with the machine's load; the "
        "ratio is measured / baseline.",
        "",
        *table,
        "",
    ])
    with open(output, "w", encoding="utf-8") as out:
        out.write(text)
    print(text)


if __name__ == "__main__":
    main()
