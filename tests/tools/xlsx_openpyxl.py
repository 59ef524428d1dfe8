#!/usr/bin/env python3
"""A workbook exported by stripwise2-sheet, checked with openpyxl, an independent reader and
writer: the line columns are text as a whole and wide enough for double-width characters, the
header is frozen, and texts a spreadsheet
would convert ('007', '=1+1', '1/2'), stored as the strings a text cell holds, import exactly.

usage: xlsx_openpyxl.py STRIPWISE2-SHEET WORKDIR   (exit 77 when openpyxl is missing)
"""
import os
import subprocess
import sys

try:
    import openpyxl
except ImportError:
    print("python3-openpyxl is not installed: skipped")
    sys.exit(77)

tool, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
empty, stw = os.path.join(work, "empty.stw"), os.path.join(work, "in.stw")
seed, xlsx = os.path.join(work, "seed.csv"), os.path.join(work, "keys.xlsx")
open(empty, "wb").close()  # an empty label set: every entry has 30 empty keys
with open(seed, "w", encoding="utf-8") as f:
    f.write("01,4,18,総務課長,\n")  # four characters, eight cells wide
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(*args):
    return subprocess.run([tool, *args], capture_output=True, text=True, check=False)


done = run("import", empty, seed, "-o", stw)
check(done.returncode == 0, f"import of the seed failed: {done.stderr}")
done = run("export", stw, "-o", xlsx)
check(done.returncode == 0, f"export failed: {done.stderr}")

book = openpyxl.load_workbook(xlsx)
sheet = book.worksheets[0]
check([c.value for c in sheet[1]] == ["entry", "face", "key", "line1", "line2"], "header row")
check(sheet.freeze_panes == "A2", f"frozen at {sheet.freeze_panes}, not under the header")
check(sheet.max_row == 1 + 4 * 30, f"{sheet.max_row} rows")
# Wide enough for the double-width text; the second line column keeps its least width.
width = sheet.column_dimensions["D"].width
check(width is not None and width >= 10, f"column D is {width} wide for 総務課長")
width = sheet.column_dimensions["E"].width
check(width is not None and width < 10, f"column E is {width} wide with nothing in it")
check([c.value for c in sheet[2]][:3] == [1, 1, 1], "entry, face and key are numbers")
for column in "DE":
    check(sheet.column_dimensions[column].number_format == "@", f"column {column} is not text as a whole")
    check(all(sheet[f"{column}{row}"].number_format == "@" for row in range(2, sheet.max_row + 1)),
          f"a cell of column {column} is not text")

# What a user types into a text cell stays a string: set them as such.
for row, text in ((2, "007"), (3, "=1+1"), (4, "1/2")):
    cell = sheet.cell(row=row, column=4)
    cell.value = text
    cell.data_type = "s"
book.save(xlsx)

done = run("import", stw, xlsx, "--dry-run")
check(done.returncode == 0, f"import --dry-run failed: {done.stderr}")
expected = ("管理番号 01 / 印刷面1 / キー 01: 旧「」 → 新「007」\n"
            "管理番号 01 / 印刷面1 / キー 02: 旧「」 → 新「=1+1」\n"
            "管理番号 01 / 印刷面1 / キー 03: 旧「」 → 新「1/2」\n"
            "3 個のキーが変わります（120 行のうち、変わらない行 117、読み込めない行 0）。\n"
            "--dry-run: 何も書いていません。\n")
check(done.stdout == expected, f"change list:\n{done.stdout}")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
