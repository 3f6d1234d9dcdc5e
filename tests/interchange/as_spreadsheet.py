"""Does to an exported workbook what a spreadsheet user does, with programs other than ours: openpyxl for
.xlsx and Python's csv module for CSV.

usage:
  as_spreadsheet.py sort BOOK.xlsx COLUMN OUT.xlsx
      sorts the data rows by the numbers of COLUMN (a letter), as "sort by price" does
  as_spreadsheet.py csv BOOK.xlsx OUT.csv SEPARATOR ENCODING DECIMAL
      saves the first sheet as CSV the way a spreadsheet program under a locale does: SEPARATOR ";" or
      "tab", ENCODING "cp1251" or "utf-8", DECIMAL "." or "," for the numbers
  as_spreadsheet.py xls BOOK.xlsx OUT.xls
      saves the first sheet as an .xls workbook with xlwt, keeping Booleans, error values and dates
"""
import csv
import datetime
import sys

import openpyxl
import xlwt


def sort(book, column, out):
    wb = openpyxl.load_workbook(book)
    ws = wb.worksheets[0]
    rows = [[cell.value for cell in row] for row in ws.iter_rows(min_row=2)]
    index = openpyxl.utils.column_index_from_string(column) - 1
    rows.sort(key=lambda row: float(row[index]))
    for r, row in enumerate(rows, start=2):
        for c, value in enumerate(row, start=1):
            ws.cell(row=r, column=c).value = value
    wb.save(out)


def shown(value, decimal):
    """A cell as a spreadsheet shows it in the General format."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return "TRUE" if value else "FALSE"
    if isinstance(value, (int, float)):
        text = str(int(value)) if float(value).is_integer() else repr(float(value))
        return text.replace(".", decimal)
    return str(value)


def save_csv(book, out, separator, encoding, decimal):
    ws = openpyxl.load_workbook(book).worksheets[0]
    with open(out, "w", newline="", encoding=encoding) as f:
        writer = csv.writer(f, delimiter="\t" if separator == "tab" else separator, lineterminator="\r\n")
        for row in ws.iter_rows(values_only=True):
            writer.writerow([shown(value, decimal) for value in row])


def save_xls(book, out):
    ws = openpyxl.load_workbook(book).worksheets[0]
    xls = xlwt.Workbook()
    sheet = xls.add_sheet(ws.title)
    date_style = xlwt.easyxf(num_format_str="DD.MM.YYYY")
    for row in ws.iter_rows():
        for cell in row:
            r, c = cell.row - 1, cell.column - 1
            if cell.value is None:
                continue
            if cell.data_type == "e":
                sheet.row(r).set_cell_error(c, cell.value)
            elif isinstance(cell.value, datetime.datetime):
                sheet.write(r, c, cell.value, date_style)
            else:
                sheet.write(r, c, cell.value)
    xls.save(out)


if __name__ == "__main__":
    if sys.argv[1] == "sort":
        sort(sys.argv[2], sys.argv[3], sys.argv[4])
    elif sys.argv[1] == "xls":
        save_xls(sys.argv[2], sys.argv[3])
    else:
        save_csv(*sys.argv[2:7])
