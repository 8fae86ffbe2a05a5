#!/usr/bin/python3
"""Prints what an independent reader sees in a workbook, as JSON, for the workbook tests.

openpyxl reads the cells, styles, hyperlinks, properties and the chart's anchor; the chart's
settings openpyxl does not keep (markers, gridlines, data table, axis number format) come
straight from the chart part's XML.
"""

import json
import sys
import xml.etree.ElementTree as ET
import zipfile

import openpyxl

NS = {
    "c": "http://schemas.openxmlformats.org/drawingml/2006/chart",
    "a": "http://schemas.openxmlformats.org/drawingml/2006/main",
    "m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
}


def raw_values(archive, sheet_path):
    """The stored <v> text of every cell, as the file holds it."""
    root = ET.fromstring(archive.read(sheet_path))
    values = {}
    for cell in root.iter("{%s}c" % NS["m"]):
        v = cell.find("m:v", NS)
        values[cell.get("r")] = v.text if v is not None else None
    return values


def cell_summary(cell, raw):
    font, fill = cell.font, cell.fill
    value = cell.value
    return {
        "value": value.isoformat() if hasattr(value, "isoformat") else value,
        "type": type(value).__name__,
        "raw": raw.get(cell.coordinate),
        "number_format": cell.number_format,
        "fill_type": fill.fill_type,
        "fill_rgb": fill.fgColor.rgb if fill.fill_type else None,
        "bold": bool(font.b),
        "font_rgb": font.color.rgb if font.color is not None and font.color.type == "rgb" else None,
    }


def text_of(element):
    return "".join(t.text or "" for t in element.iter("{%s}t" % NS["a"])) if element is not None else None


def axis_summary(axis):
    return {
        "title": text_of(axis.find("c:title", NS)),
        "major_gridlines": axis.find("c:majorGridlines", NS) is not None,
        "minor_gridlines": axis.find("c:minorGridlines", NS) is not None,
        "number_format": axis.find("c:numFmt", NS).get("formatCode") if axis.find("c:numFmt", NS) is not None else None,
        "deleted": axis.find("c:delete", NS) is not None and axis.find("c:delete", NS).get("val") in ("1", "true"),
    }


def chart_summary(xml):
    root = ET.fromstring(xml)
    chart = root.find("c:chart", NS)
    plot = chart.find("c:plotArea", NS)
    line = plot.find("c:lineChart", NS)
    series = []
    for ser in line.findall("c:ser", NS) if line is not None else []:
        marker = ser.find("c:marker/c:symbol", NS)
        series.append({
            # A cell reference, or the name itself.
            "name": (ser.findtext("c:tx/c:strRef/c:f", namespaces=NS)
                     or ser.findtext("c:tx/c:v", namespaces=NS)),
            "categories": ser.findtext("c:cat/c:numRef/c:f", namespaces=NS),
            "values": ser.findtext("c:val/c:numRef/c:f", namespaces=NS),
            "marker": marker.get("val") if marker is not None else None,
            "marker_fill": ser.find("c:marker/c:spPr/a:solidFill/a:srgbClr", NS).get("val")
            if ser.find("c:marker/c:spPr/a:solidFill/a:srgbClr", NS) is not None else None,
            # No line between the points: only the marks are drawn.
            "line_hidden": ser.find("c:spPr/a:ln/a:noFill", NS) is not None,
        })
    shown = line.find("c:marker", NS) if line is not None else None
    return {
        "plot_types": sorted(child.tag.split("}")[1] for child in plot if child.tag.endswith("Chart")),
        "series": series,
        "markers_shown": shown is not None and shown.get("val") in ("1", "true"),
        "title": text_of(chart.find("c:title", NS)),
        "category_axis": axis_summary(plot.find("c:catAx", NS)),
        "value_axis": axis_summary(plot.find("c:valAx", NS)),
        "data_table": plot.find("c:dTable", NS) is not None,
    }


def main(path):
    # Opened as a stream: openpyxl refuses a file named .xls by its name, whatever it holds.
    with open(path, "rb") as stream:
        workbook = openpyxl.load_workbook(stream)
    sheet = workbook["Sheet1"] if "Sheet1" in workbook.sheetnames else workbook.active
    with zipfile.ZipFile(path) as archive:
        raw = raw_values(archive, "xl/worksheets/sheet1.xml")
        charts = [chart_summary(archive.read(name)) for name in sorted(archive.namelist())
                  if name.startswith("xl/charts/chart")]

    cells = {cell.coordinate: cell_summary(cell, raw) for row in sheet.iter_rows() for cell in row
             if cell.has_style or cell.value is not None}
    props = workbook.properties
    print(json.dumps({
        "sheets": workbook.sheetnames,
        "cells": cells,
        "non_empty": sorted(c for c, s in cells.items() if s["value"] is not None),
        "hyperlinks": {cell.coordinate: cell.hyperlink.target for row in sheet.iter_rows() for cell in row
                       if cell.hyperlink is not None},
        "properties": {
            "title": props.title or "",
            "subject": props.subject or "",
            "author": props.creator or "",
            "keywords": props.keywords or "",
            "comments": props.description or "",
        },
        "embedded_charts": [{
            "kind": type(chart).__name__,
            "from": [chart.anchor._from.col, chart.anchor._from.row],
            "to": [chart.anchor.to.col, chart.anchor.to.row],
        } for chart in sheet._charts],
        "charts": charts,
    }))


if __name__ == "__main__":
    main(sys.argv[1])
