#!/usr/bin/env python3
"""Guest lists as Excel and a Traditional Chinese Windows save them, for test_guestlist:
  names.xlsx        a workbook written by openpyxl, numbers as 7 and 7.0, Chinese names
  names-big5.csv    CSV as a Chinese Excel saves it: code page 950, CR LF, quoted fields
"""
import csv
import io
import os
import sys

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
rows = [["號碼", "姓名", "部門"], [1, "王小明", "業務部"], [2.0, "陳美玲", "研發部, 二課"],
        [3, "林\"阿\"華", ""], [56, "歐陽志遠", "總經理室"]]

import openpyxl
book = openpyxl.Workbook()
sheet = book.active
sheet.title = "來賓"
for row in rows:
    sheet.append(row)
book.create_sheet("第二頁").append([9, "不該讀到"])
book.save(os.path.join(out, "names.xlsx"))

text = io.StringIO()
csv.writer(text, lineterminator="\r\n").writerows(rows)
with open(os.path.join(out, "names-big5.csv"), "wb") as f:
    f.write(text.getvalue().replace("2.0", "2").encode("cp950"))
