"""Writes the workbooks the reader tests read, with programs other than ours: openpyxl for .xlsx, xlwt for
.xls. openpyxl writes inline strings only and leaves formulas without results, so the other .xlsx shapes a
spreadsheet program writes are made by rewriting its archive.

usage: make_workbooks.py FOLDER
"""
import datetime
import io
import os
import re
import struct
import sys
import zipfile

import openpyxl
import openpyxl.utils.datetime
import xlwt

REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"


def plain_book():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Патроны"
    ws.append(["Название", "k_hit", "Вес", "Квест"])
    ws.append(["ammo_5.45x39_fmj", 0.3, 12, True])
    ws.append(["ammo_9x18_pmm", "x_x0041_y", -5.25, False])
    other = wb.create_sheet("Второй")
    other["A1"] = "не этот лист"
    return wb


def escapes_and_blank(target):
    """Escaped characters as Excel writes them, and a formatted empty cell that widens the used area."""
    wb = openpyxl.Workbook()
    ws = wb.active
    ws["A1"] = "_x005F_x0041_ _xD83D__xDE00_ _xD800_ _x41_ _x000a_"
    ws["C4"].fill = openpyxl.styles.PatternFill("solid", fgColor="FFFF00")
    wb.save(target)


def save(wb, path):
    wb.save(path)


def parts_of(path):
    with zipfile.ZipFile(path) as z:
        return [(info.filename, z.read(info.filename)) for info in z.infolist()]


def write_parts(path, parts, compression=zipfile.ZIP_DEFLATED):
    with zipfile.ZipFile(path, "w", compression) as z:
        for name, data in parts:
            z.writestr(name, data)


def rewrite(source, target, edit):
    """edit(name, text) returns the new (name, text) or None to drop the part."""
    out = []
    for name, data in parts_of(source):
        text = data.decode("utf-8") if name.endswith((".xml", ".rels")) else data
        result = edit(name, text)
        if result is not None:
            new_name, new_text = result
            out.append((new_name, new_text.encode("utf-8") if isinstance(new_text, str) else new_text))
    return out


def shared_strings(source, target):
    """Every inline string becomes a shared string; the first one is stored as rich-text runs with a
    phonetic run, as Excel stores a string typed with an input method."""
    strings = []

    def to_shared(match):
        ref, text = match.group(1), match.group(2)
        strings.append(text)
        return '<c r="%s" t="s"><v>%d</v></c>' % (ref, len(strings) - 1)

    def edit(name, text):
        if name == "xl/worksheets/sheet1.xml":
            return name, re.sub(r'<c r="([A-Z]+\d+)" t="inlineStr"><is><t>(.*?)</t></is></c>', to_shared, text)
        if name == "xl/_rels/workbook.xml.rels":
            rel = ('<Relationship Type="%s/sharedStrings" Target="sharedStrings.xml" Id="rIdS"/>' % REL)
            return name, text.replace("</Relationships>", rel + "</Relationships>")
        if name == "[Content_Types].xml":
            override = ('<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
                        'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>')
            return name, text.replace("</Types>", override + "</Types>")
        return name, text

    parts = rewrite(source, target, edit)
    items = []
    for i, s in enumerate(strings):
        if i == 0:
            half = len(s) // 2
            items.append('<si><r><t>%s</t></r><r><rPr><b/></rPr><t>%s</t></r>'
                         '<rPh sb="0" eb="1"><t>ふりがな</t></rPh><phoneticPr fontId="1"/></si>'
                         % (s[:half], s[half:]))
        else:
            items.append("<si><t>%s</t></si>" % s)
    sst = ('<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/'
           '2006/main" count="%d" uniqueCount="%d">%s</sst>' % (len(items), len(items), "".join(items)))
    parts.append(("xl/sharedStrings.xml", sst.encode("utf-8")))
    write_parts(target, parts)


def cached_formulas(source, target):
    """Formulas with the results a spreadsheet program stores: a number and a text."""
    wb = openpyxl.load_workbook(source)
    ws = wb["Патроны"]
    ws["E2"] = "=B2*2"
    ws["E3"] = '=A3&"!"'
    wb.save(target)

    def edit(name, text):
        if name == "xl/worksheets/sheet1.xml":
            text = text.replace("<f>B2*2</f><v></v>", "<f>B2*2</f><v>0.6</v>")
            text = re.sub(r'<c r="E3"><f>(.*?)</f><v></v></c>', r'<c r="E3" t="str"><f>\1</f><v>ammo_9x18_pmm!</v></c>',
                          text)
        return name, text

    write_parts(target, rewrite(target, target, edit))


def sheet_order(target):
    """The first sheet in the workbook is the second part in the archive."""
    wb = openpyxl.Workbook()
    wb.active.title = "Черновик"
    wb.active["A1"] = "не этот лист"
    data = wb.create_sheet("Данные")
    for row in plain_book()["Патроны"].iter_rows(values_only=True):
        data.append(row)
    wb.save(target)

    def edit(name, text):
        if name == "xl/workbook.xml":
            sheets = re.findall(r"<sheet [^>]*/>", text)
            return name, text.replace("".join(sheets), "".join(reversed(sheets)))
        return name, text

    write_parts(target, rewrite(target, target, edit))


def chartsheet_first(source, target):
    wb = openpyxl.load_workbook(source)
    chart_sheet = wb.create_chartsheet("Диаграмма", 0)
    chart = openpyxl.chart.BarChart()
    chart.add_data(openpyxl.chart.Reference(wb["Патроны"], min_col=2, min_row=2, max_row=3))
    chart_sheet.add_chart(chart)
    wb.save(target)


def odd_names(source, target):
    """Part names in other letter cases than the relationships name them, relative targets with "./" and
    "..", and a root relationship to the workbook that climbs out and back."""
    def edit(name, text):
        if name == "xl/worksheets/sheet1.xml":
            return "XL/Worksheets/Sheet1.XML", text
        if name == "xl/workbook.xml":
            return "xl/Workbook.xml", text
        if name == "xl/_rels/workbook.xml.rels":
            text = text.replace('Target="/xl/worksheets/sheet1.xml"', 'Target="./worksheets/../worksheets/sheet1.xml"')
            return "xl/_rels/WORKBOOK.xml.rels", text
        if name == "_rels/.rels":
            return name, text.replace('Target="xl/workbook.xml"', 'Target="/xl/./workbook.xml"')
        return name, text

    write_parts(target, rewrite(source, target, edit))


def without_refs(source, target):
    """Rows and cells without references, as some generators write them."""
    def edit(name, text):
        if name == "xl/worksheets/sheet1.xml":
            head, body, tail = re.split(r"(<sheetData>.*</sheetData>)", text)
            return name, head + re.sub(r' r="[A-Z]*\d+"', "", body) + tail
        return name, text

    write_parts(target, rewrite(source, target, edit))


def single_cell_sheet(target, ref, content):
    """A sheet with "x" in A1 and one more cell of the given content."""
    wb = openpyxl.Workbook()
    wb.active["A1"] = "x"
    wb.save(target)
    row = re.sub(r"[A-Z]", "", ref)
    cell = '<row r="%s"><c r="%s">%s</c></row>' % (row, ref, content)
    edit_part(target, target, "xl/worksheets/sheet1.xml", lambda t: t.replace("</sheetData>", cell + "</sheetData>"))


def edit_part(source, target, part, replace):
    def edit(name, text):
        return (name, replace(text)) if name == part else (name, text)

    write_parts(target, rewrite(source, target, edit))


def lying_size(source, target):
    """A part whose directory entry claims fewer bytes than it inflates to."""
    data = bytearray(open(source, "rb").read())
    name = b"xl/worksheets/sheet1.xml"
    for signature, size_at in ((b"PK\x03\x04", 22), (b"PK\x01\x02", 24)):
        pos = 0
        while True:
            pos = data.find(signature, pos)
            if pos < 0:
                break
            name_at = pos + (30 if signature == b"PK\x03\x04" else 46)
            if data[name_at:name_at + len(name)] == name:
                struct.pack_into("<I", data, pos + size_at, 100)
            pos += 4
    open(target, "wb").write(bytes(data))


def xls_book(target):
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("Патроны")
    for c, text in enumerate(["Название", "k_hit", "Вес", "Квест"]):
        ws.write(0, c, text)
    ws.write(1, 0, "ammo_5.45x39_fmj")
    ws.write(1, 1, 0.3)
    ws.write(1, 2, 12)
    ws.write(1, 3, True)
    ws.write(2, 0, "ammo_9x18_pmm")
    ws.write(2, 1, xlwt.Formula("B2*2"))
    ws.write(2, 2, -5.25)
    # A formatted empty cell widens the sheet as a spreadsheet program counts it.
    ws.write(3, 5, "", xlwt.easyxf("pattern: pattern solid;"))
    wb.add_sheet("Второй").write(0, 0, "не этот лист")
    wb.save(target)


# Number formats and what the reader must make of 45000 (2023-03-15) or the value given: built-in formats
# by the code openpyxl maps to their numbers (14, 22, 46), custom ones, and look-alikes that are no dates.
DATE_FORMATS = [
    ("mm-dd-yy", 45000),
    ("m/d/yy h:mm", 45000.5208333333),
    ("[h]:mm:ss", 1.25),
    ("dd.mm.yyyy", 45000),
    ("[h]:mm", 0.5),
    ("[ss]", 0.5),
    ("h:mm AM/PM", 0.75),
    ("dd.mm.yyyy", 60),
    ("dd.mm.yyyy", 61),
    ("dd.mm.yyyy", -1),
    ("[Red]0.00", 5.5),
    ('0.0"d"', 2),
    ("_d0", 3),
    ("\\d0", 4),
    ("0%", 0.25),
    ("General", 7),
]


def dates_book(target):
    """Numbers in date and other formats, a Boolean, and a date stored as ISO text (t="d")."""
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Даты"
    ws.append(["Название"] + ["f%d" % i for i in range(len(DATE_FORMATS))] + ["Квест", "iso"])
    ws.append(["wpn_ak74"] + [value for _, value in DATE_FORMATS] + [True, "iso"])
    for column, (code, _) in enumerate(DATE_FORMATS, start=2):
        ws.cell(row=2, column=column).number_format = code
    wb.save(target)

    def edit(name, text):
        if name == "xl/styles.xml":
            # openpyxl stores "h:mm AM/PM" as the built-in format 18; spell it out as a custom one.
            text = text.replace('<xf numFmtId="18"', '<xf numFmtId="200"')
            text = text.replace("</numFmts>", '<numFmt numFmtId="200" formatCode="h:mm AM/PM"/></numFmts>')
        if name == "xl/worksheets/sheet1.xml":
            text = re.sub(r'<c r="([A-Z]+2)" t="inlineStr"><is><t>iso</t></is></c>',
                          r'<c r="\1" t="d"><v>2023-03-15T00:00:00</v></c>', text)
        return name, text

    write_parts(target, rewrite(target, target, edit))


def dates_1904(target):
    wb = openpyxl.Workbook()
    wb.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904
    wb.active.append(["x", datetime.date(2023, 3, 15)])
    wb.save(target)


def without_styles(source, target):
    def edit(name, text):
        if name == "xl/styles.xml":
            return None
        if name == "xl/_rels/workbook.xml.rels":
            return name, re.sub(r'<Relationship [^>]*/styles"[^>]*/>', "", text)
        return name, text

    write_parts(target, rewrite(source, target, edit))


def xls_kinds():
    """Dates, a time, Booleans and numbers of formats the .xls library takes for no date."""
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("Виды")
    header = ["Название", "дата", "время", "часы", "да", "нет", "вес", "дни", "число"]
    for c, text in enumerate(header):
        ws.write(0, c, text)
    ws.write(1, 0, "wpn_ak74")
    ws.write(1, 1, datetime.date(2023, 3, 15), xlwt.easyxf(num_format_str="YYYY-MM-DD"))
    ws.write(1, 2, datetime.datetime(2023, 3, 15, 12, 30), xlwt.easyxf(num_format_str="dd.mm.yyyy hh:mm"))
    ws.write(1, 3, datetime.time(6, 15), xlwt.easyxf(num_format_str="h:mm"))
    ws.write(1, 4, True)
    ws.write(1, 5, False)
    ws.write(1, 6, 12.5, xlwt.easyxf(num_format_str="0.00"))
    ws.write(1, 7, 3, xlwt.easyxf(num_format_str='0.0"d"'))
    ws.write(1, 8, 1)
    # The second sheet's Boolean and error value are not the first sheet's.
    other = wb.add_sheet("Второй")
    other.write(0, 0, True)
    other.row(1).set_cell_error(0, 0x2A)
    return wb


def xls_error(target, ref, error):
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("Ошибка")
    ws.write(0, 0, "Название")
    ws.write(1, 0, "wpn_ak74")
    row, column = int(ref[1:]) - 1, ord(ref[0]) - ord("A")
    ws.row(row).set_cell_error(column, error)
    wb.save(target)


def far_date(target):
    """A date near the largest number an .xls cell holds, on the second sheet: the .xls library would count
    its two billion days one by one."""
    wb = xlwt.Workbook(encoding="utf-8")
    wb.add_sheet("Первый").write(0, 0, "Название")
    wb.add_sheet("Второй").write(0, 0, 2e9, xlwt.easyxf(num_format_str="YYYY-MM-DD"))
    wb.save(target)


def sheet_list_bomb(target):
    """120 listed sheets without a substream, which the .xls library allocates each at the size of the sheet
    it read last: here a second sheet of 250 x 250 cells, so 120 MB in a 4 KB file."""
    stream = bytearray(xls_kinds().get_biff_data())
    records = biff_records(stream, 0)
    second_dimension = [pos for pos, kind, _ in records if kind == 0x0200][1]
    struct.pack_into("<IIHH", stream, second_dimension + 4, 0, 250, 0, 250)
    extra = b"".join(struct.pack("<HHLBBBB", 0x0085, 9, 1, 0, 0, 1, 0) + b"x" for _ in range(120))
    for pos, kind, _ in records:
        if kind == 0x0085:
            struct.pack_into("<L", stream, pos + 4, struct.unpack_from("<L", stream, pos + 4)[0] + len(extra))
    globals_end = [pos for pos, kind, _ in records if kind == 0x000A][0]
    mini_stream_xls(bytes(stream[:globals_end]) + extra + bytes(stream[globals_end:]), target)


def biff_records(data, start):
    """(offset, type, length) of each record of the stream at start, up to the zeros xlwt pads it with."""
    records = []
    pos = start
    while pos + 4 <= len(data):
        kind, length = struct.unpack_from("<HH", data, pos)
        if kind == 0 and length == 0:
            break
        records.append((pos, kind, length))
        pos += 4 + length
    return records


def forge_dimension(source, target, nth, rows, columns):
    """The nth DIMENSION record of an xlwt file (whose workbook stream starts at byte 512) declares rows and
    columns."""
    data = bytearray(open(source, "rb").read())
    dimensions = [pos for pos, kind, _ in biff_records(data, 512) if kind == 0x0200]
    struct.pack_into("<IIHH", data, dimensions[nth] + 4, 0, rows, 0, columns)
    open(target, "wb").write(bytes(data))


def patch(source, target, offset, fmt, *values):
    data = bytearray(open(source, "rb").read())
    struct.pack_into(fmt, data, offset, *values)
    open(target, "wb").write(bytes(data))


def dir_entry(name, kind, start, size, child=-1):
    encoded = (name + "\0").encode("utf-16-le")
    return struct.pack("<64sHBBlll16sLQQlLL", encoded, len(encoded), kind, 1, -1, -1, child, b"", 0, 0, 0,
                       start, size, 0)


def mini_stream_xls(stream, target):
    """A compound file of our own making that keeps a small workbook stream in the mini stream, as Excel
    does with a stream under 4096 bytes: FAT, directory, mini FAT, then the mini stream."""
    assert len(stream) < 4096
    mini_sectors = (len(stream) + 63) // 64
    container = stream + b"\0" * (mini_sectors * 64 - len(stream))
    container_sectors = (len(container) + 511) // 512
    fat = [-3, -2, -2] + [3 + i + 1 for i in range(container_sectors - 1)] + [-2]
    fat += [-1] * (128 - len(fat))
    mini_fat = [i + 1 for i in range(mini_sectors - 1)] + [-2]
    mini_fat += [-1] * (128 - len(mini_fat))
    directory = (dir_entry("Root Entry", 5, 3, len(container), child=1) + dir_entry("Workbook", 2, 0, len(stream))
                 + dir_entry("", 0, -1, 0) + dir_entry("", 0, -1, 0))
    header = (b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + b"\0" * 16
              + struct.pack("<HHHHH6sLLLLLLLLL", 0x3E, 3, 0xFFFE, 9, 6, b"", 0, 1, 1, 0, 4096, 2, 1, 0xFFFFFFFE, 0)
              + struct.pack("<109l", 0, *([-1] * 108)))
    body = (struct.pack("<128l", *fat) + directory + struct.pack("<128l", *mini_fat)
            + container + b"\0" * (container_sectors * 512 - len(container)))
    open(target, "wb").write(header + body)


def main(folder):
    p = lambda name: os.path.join(folder, name)
    save(plain_book(), p("plain.xlsx"))
    shared_strings(p("plain.xlsx"), p("shared-strings.xlsx"))
    cached_formulas(p("plain.xlsx"), p("cached-formulas.xlsx"))
    sheet_order(p("sheet-order.xlsx"))
    chartsheet_first(p("plain.xlsx"), p("chartsheet-first.xlsx"))
    odd_names(p("plain.xlsx"), p("odd-names.xlsx"))
    without_refs(p("plain.xlsx"), p("without-refs.xlsx"))
    # An .xlsx named .csv and the other way round: the content decides.
    save(plain_book(), p("really-xlsx.csv"))
    escapes_and_blank(p("escapes-and-blank.xlsx"))
    xls_book(p("plain.xls"))
    dates_book(p("dates.xlsx"))
    dates_1904(p("dates-1904.xlsx"))
    without_styles(p("dates.xlsx"), p("without-styles.xlsx"))
    xls_kinds().save(p("kinds.xls"))
    mini_stream_xls(xls_kinds().get_biff_data(), p("mini-stream.xls"))

    with open(p("plain.csv"), "wb") as f:
        f.write("\ufeffНазвание,k_hit,Вес\r\nammo_5.45x39_fmj,\"0,3\",12\r\n\"ammo \"\"9x18\"\"\",\"две\nстроки\",\r\n"
                ",,\r\nпоследняя,,\n\r\n  \n".encode("utf-8"))

    # Files that must be refused.
    edit_part(p("plain.xlsx"), p("bomb.xlsx"), "xl/worksheets/sheet1.xml",
              lambda t: t.replace("</sheetData>", "</sheetData>" + " " * (3 << 20)))
    lying_size(p("plain.xlsx"), p("lying-size.xlsx"))
    single_cell_sheet(p("formula-without-result.xlsx"), "C7", "<f>1/0</f>")
    edit_part(p("plain.xlsx"), p("error-cell.xlsx"), "xl/worksheets/sheet1.xml",
              lambda t: t.replace('<c r="C2" t="n"><v>12</v></c>', '<c r="C2" t="e"><v>#DIV/0!</v></c>'))
    single_cell_sheet(p("beyond-limits.xlsx"), "Z5", "<v>1</v>")
    edit_part(p("plain.xlsx"), p("damaged-xml.xlsx"), "xl/worksheets/sheet1.xml", lambda t: t[: len(t) // 2])
    edit_part(p("plain.xlsx"), p("entity.xlsx"), "xl/worksheets/sheet1.xml",
              lambda t: '<!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa">]>' + t.replace("k_hit", "&a;"))
    edit_part(p("plain.xlsx"), p("no-sheet.xlsx"), "xl/workbook.xml",
              lambda t: re.sub(r"<sheets>.*</sheets>", "<sheets/>", t))
    edit_part(p("plain.xlsx"), p("bad-shared-index.xlsx"), "xl/worksheets/sheet1.xml",
              lambda t: t.replace('<c r="C2" t="n"><v>12</v></c>', '<c r="C2" t="s"><v>7</v></c>'))
    data = open(p("plain.xlsx"), "rb").read()
    open(p("truncated.xlsx"), "wb").write(data[: len(data) // 2])
    write_parts(p("not-a-workbook.xlsx"), [("readme.txt", b"hello")])
    open(p("picture.xlsx"), "wb").write(b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01")
    open(p("cp1251.csv"), "wb").write("Название,0.3\r\n".encode("cp1251"))
    open(p("binary.csv"), "wb").write(b"\x98\x01\x02abc\r\n")
    open(p("unclosed-quote.csv"), "wb").write(b'a,b\r\nc,"d\r\ne,f\r\n')
    open(p("empty.csv"), "wb").write(b"")
    open(p("bom-only.csv"), "wb").write(b"\xef\xbb\xbf")
    open(p("damaged.xls"), "wb").write(b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + b"\x00" * 600)
    edit_part(p("dates.xlsx"), p("damaged-styles.xlsx"), "xl/styles.xml", lambda t: t[: len(t) // 2])
    edit_part(p("dates.xlsx"), p("bad-format-id.xlsx"), "xl/styles.xml",
              lambda t: t.replace('<xf numFmtId="14"', '<xf numFmtId="fourteen"'))
    xls_error(p("error-div0.xls"), "C4", "#DIV/0!")
    xls_error(p("error-na.xls"), "B2", 0x2A)  # xlwt misspells the name of #N/A, so by its code
    # The first sheet declared beyond the caller's limits; the second declared far beyond its bytes, as a
    # 5.6 KB file that made the .xls library allocate 270 MB did.
    forge_dimension(p("kinds.xls"), p("forged-first-sheet.xls"), 0, 10000, 256)
    forge_dimension(p("kinds.xls"), p("forged-second-sheet.xls"), 1, 60000, 250)
    # xlwt writes the workbook stream from sector 0 on and the FAT into the sector the header names first.
    kinds = open(p("kinds.xls"), "rb").read()
    fat_at = 512 * (1 + struct.unpack_from("<l", kinds, 76)[0])
    patch(p("kinds.xls"), p("looping-chain.xls"), fat_at, "<l", 0)
    patch(p("kinds.xls"), p("chain-off-file.xls"), fat_at + 4, "<l", 0x7FFFFF)
    open(p("truncated.xls"), "wb").write(kinds[: len(kinds) // 2])
    far_date(p("far-date.xls"))
    sheet_list_bomb(p("sheet-list-bomb.xls"))


if __name__ == "__main__":
    main(sys.argv[1])
