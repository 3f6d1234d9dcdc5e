"""Prints what an independent reader (openpyxl) sees in a workbook, as JSON: the first sheet's title and
used area, every cell's value, type and format, and the column widths and row heights."""
import json
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def colour(fill):
    if fill is None or fill.fill_type is None:
        return None
    return fill.fgColor.rgb


def main(path):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    cells = []
    for row in sheet.iter_rows(min_row=1, max_row=sheet.max_row, max_col=sheet.max_column):
        for cell in row:
            cells.append({
                "name": cell.coordinate,
                "value": cell.value if not isinstance(cell.value, float) else repr(cell.value),
                "type": cell.data_type,
                "fill": colour(cell.fill),
                "top": cell.border.top.style,
                "bottom": cell.border.bottom.style,
                "left": cell.border.left.style,
                "right": cell.border.right.style,
                "horizontal": cell.alignment.horizontal,
                "vertical": cell.alignment.vertical,
                "font": cell.font.name,
            })
    print(json.dumps({
        "sheets": len(book.worksheets),
        "title": sheet.title,
        "rows": sheet.max_row,
        "columns": sheet.max_column,
        "cells": cells,
        "widths": [sheet.column_dimensions[get_column_letter(c)].width for c in range(1, sheet.max_column + 1)],
        "heights": [sheet.row_dimensions[r].height for r in range(1, sheet.max_row + 1)],
    }, ensure_ascii=False))


main(sys.argv[1])
