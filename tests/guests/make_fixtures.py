#!/usr/bin/env python3
"""Guest lists as Excel and a Traditional Chinese Windows save them, for test_guestlist:
  names.xlsx        a workbook written by openpyxl, numbers as 7 and 7.0, Chinese names
  names-big5.csv    CSV as a Chinese Excel saves it: code page 950, CR LF, quoted fields
  names-hr.xlsx     a list as HR keeps one: an old list hidden in front, a chart sheet, a title
                    and a blank row above the header, cells holding a date, a formula openpyxl
                    cannot calculate, TRUE and #N/A
"""
import csv
import datetime
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

from openpyxl.chart import BarChart, Reference
book = openpyxl.Workbook()
old = book.active
old.title = "舊名單"
old.append([1, "不該讀到"])
old.sheet_state = "hidden"
bar = BarChart()
bar.add_data(Reference(old, min_col=1, min_row=1, max_row=1))
book.create_chartsheet("圖表").add_chart(bar)
sheet = book.create_sheet("來賓")
for row in [["2026 年終晚會名單"], [], ["號碼", "姓名", "桌次"], [1, "王小明", 2],
            [2, datetime.date(2026, 1, 2), 3], [3, "=B4", 3], [4, True, 5], [5, "#N/A", 5],
            [6, "陳美玲", "主桌"]]:
    sheet.append(row)
book.save(os.path.join(out, "names-hr.xlsx"))
