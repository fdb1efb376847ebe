#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Every seed is made here, by hand or from first principles (the BMP layouts are
packed field by field below); nothing comes from elsewhere. Each target gets a
few valid inputs and a few broken ones. Rerun after changing a seed; the
output is deterministic, and the files are committed.

    fuzz/make_corpus.py            # rewrites fuzz/corpus/
"""

import pathlib
import shutil
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"

# ---------------------------------------------------------------------------
# .CAL reference files (Windows-1252, degree sign 0xB0, CR LF)

CAL_EXAMPLE = [
    "TYPE:       RASTERMAP",
    "NAME:       harbour",
    "DATE:       05/03/2009",
    "VISIBLE:    YES",
    "REFERENCE_POINT: (120,840) ==> (12\xb028.1235'O,47\xb051.5675'N)",
    "REFERENCE_POINT: (1530,95) ==> (12\xb034.5000'O,47\xb048.0120'N)",
    "HEIGHTDIFF:      12.5",
    "PROJECTION:      UTM",
    "ELLIPSOID:       WGS84",
    "FILENAME:        harbour.bmp",
]


def cal(lines, end="\r\n"):
    return "".join(line + end for line in lines).encode("latin-1")


def cal_seeds():
    ex = CAL_EXAMPLE
    southwest = ex[:4] + [
        "REFERENCE_POINT: (0,0) ==> (70\xb00.0005'W,33\xb051.4080'S)",
        "REFERENCE_POINT: (4294967295,2147483647) ==> (179\xb059.9995'W,89\xb059.9995'S)",
    ] + ex[6:]
    return {
        "example_crlf.cal": cal(ex),
        "example_lf.cal": cal(ex, "\n"),
        "nine_lines.cal": cal(ex[:9]),
        "empty.cal": b"",
        "reference_type_extra.cal": cal(ex[:4] + ["REFERENCE_TYPE:  BILINEAR_GEOGRAPHIC"] + ex[4:]),
        "no_keyword_lines.cal": cal(["  NAME:       indented", "name:       lower case", ""] + ex),
        "repeated_names.cal": cal(ex + ["NAME:   second", "FILENAME:   second.bmp", "NAME:"]),
        "east_letter_and_60_minutes.cal": cal(
            ex[:4]
            + ["REFERENCE_POINT: (1,2) ==> (12\xb060.0000'E,47\xb051.5675'n)"]
            + ex[5:]
        ),
        "three_points.cal": cal(ex[:6] + ["REFERENCE_POINT: (9,9) ==> (1\xb01.0000'O,1\xb01.0000'N)"] + ex[6:]),
        "southwest_extremes.cal": cal(southwest),
        "malformed_numbers.cal": cal(
            ex[:4]
            + [
                "REFERENCE_POINT: (-1,x) ==> (1e3\xb0.5e1'O 47,1.2.3\xb0--4'",
                "REFERENCE_POINT: (99999999999,) ==> (",
                "REFERENCE_POINT:",
                "HEIGHTDIFF:      -0.04e0",
                "HEIGHTDIFF:   1e999",
            ]
            + ex[7:]
        ),
        "latin1_names.cal": cal(
            ["NAME:       K\xf6nigssee \x80 \x81\x8d", "FILENAME:        K\xf6nigssee.bmp"] + ex[2:9]
        ),
    }


# ---------------------------------------------------------------------------
# MagicMaps reference-coordinate exports: "latitude,longitude" per line


def magicmaps_seeds():
    return {
        "example.txt": b"47.8595,12.4687\r\n47.8002,-12.5750\r\n",
        "southern.txt": b"-33.8568,151.2153\n-33.8600,151.2100\n",
        "extra_fields.txt": b"47.8595,12.4687,Gipfelkreuz\n47.8002,-12.5750,Hafen\n3,4\n",
        "one_line.txt": b"47.8595,12.4687\n",
        "empty.txt": b"",
        "no_comma_and_blanks.txt": b"  12.5\n \t-4.75e1 , +1E+2xyz\n",
        "huge_and_tiny.txt": b"1e999,-1e999\n1e-999,-0\n",
    }


# ---------------------------------------------------------------------------
# Numeric text: byte 0 the decimals of the formatting checks, then the text


def numeric_seeds():
    def seed(decimals, text):
        return bytes([decimals]) + text

    return {
        "blank_padded.bin": seed(6, b"  12.5  "),
        "comma.bin": seed(2, b"12,5"),
        "empty.bin": seed(4, b""),
        "blanks_only.bin": seed(0, b"   "),
        "signs.bin": seed(17, b"+.5"),
        "minus_int.bin": seed(1, b"-5"),
        "exponent.bin": seed(3, b"1e5"),
        "two_points.bin": seed(6, b"1.2.3"),
        "beyond_int32.bin": seed(0, b"99999999999"),
        "huge_digits.bin": seed(255, b"9" * 320 + b".5"),
        "tiny.bin": seed(17, b"0.000000000000000000000000000000001"),
        "raw_double.bin": seed(12, struct.pack("<d", 179.99999949999999) + struct.pack("<i", -2147483648)),
        "negative_zero.bin": seed(1, b"-0.04"),
    }


# ---------------------------------------------------------------------------
# Command-line point syntax: byte 0 the format (0 deg, 1 dm, 2 dms, 3 utm;
# +4 for the second point), then the text


def point_seeds():
    def seed(selector, text):
        return bytes([selector]) + text

    return {
        "deg.bin": seed(0, b"10.5 E 53.25 N"),
        "dm.bin": seed(1, b"10 30 E 53 15 N"),
        "dms.bin": seed(2, b"10 30 0 E 53 15 0 N"),
        "utm.bin": seed(3, b"32 N 500000 5900000"),
        "deg_second_point_west_south.bin": seed(4, b"180 w 90 s"),
        "dm_limits.bin": seed(5, b"180 60 O 90 60 S"),
        "dms_carry.bin": seed(6, b"179 59 59.999 W 89 59 59.995 N"),
        "utm_south_edge.bin": seed(7, b"60 S 900000 10000000"),
        "too_large.bin": seed(1, b"10 61 E 53 15 N"),
        "bad_letter.bin": seed(0, b"10.5 X 53.25 N"),
        "too_few_tokens.bin": seed(2, b"10 30 E"),
        "forbidden.bin": seed(3, b"32 N 5e5 -1"),
    }


# ---------------------------------------------------------------------------
# BMP files, packed field by field: 14-byte file header, then a 12-, 40-,
# 108- or 124-byte info header, colour masks or palette, pixel rows padded to
# four bytes, bottom row first unless the height is negative.

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS = 0, 1, 2, 3


def file_header(total_size, pixel_offset):
    return b"BM" + struct.pack("<IHHI", total_size, 0, 0, pixel_offset)


def info_header(width, height, bpp, compression=BI_RGB, image_size=0, colours=0, size=40, masks=None):
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, image_size, 2835, 2835, colours, 0)
    if size >= 108:
        r, g, b, a = masks or (0, 0, 0, 0)
        header += struct.pack("<IIIII", r, g, b, a, 0x73524742)  # "sRGB"
        header += bytes(36) + bytes(12)  # endpoints, gamma
    if size == 124:
        header += struct.pack("<IIII", 4, 0, 0, 0)
    return header


def palette(count):
    return b"".join(struct.pack("<BBBB", (i * 37) & 0xFF, (i * 91) & 0xFF, (i * 53) & 0xFF, 0) for i in range(count))


def rows(width, height, bpp):
    stride = (width * bpp + 31) // 32 * 4
    data = bytearray()
    for y in range(height):
        row = bytearray(stride)
        used = (width * bpp + 7) // 8
        for i in range(used):
            row[i] = (i * 29 + y * 71 + 3) & 0xFF
        data += row
    return bytes(data)


def bmp(header, extra, pixels):
    offset = 14 + len(header) + len(extra)
    return file_header(offset + len(pixels), offset) + header + extra + pixels


def uncompressed(width, height, bpp, size=40):
    colours = 1 << bpp if bpp <= 8 else 0
    return bmp(info_header(width, height, bpp, size=size), palette(colours), rows(width, abs(height), bpp))


def core_header_8bit(width, height):
    header = struct.pack("<IHHHH", 12, width, height, 1, 8)
    pal = b"".join(struct.pack("<BBB", i, 255 - i, i // 2) for i in range(256))
    return bmp(header, pal, rows(width, height, 8))


def bitfields_16bit_565(width, height):
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    return bmp(info_header(width, height, 16, BI_BITFIELDS), masks, rows(width, height, 16))


def v4_32bit_bitfields(width, height):
    masks = (0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)
    return bmp(info_header(width, height, 32, BI_BITFIELDS, size=108, masks=masks), b"", rows(width, height, 32))


def rle8(width, height, stream):
    return bmp(info_header(width, height, 8, BI_RLE8, len(stream), 4), palette(4), stream)


def rle4(width, height, stream):
    return bmp(info_header(width, height, 4, BI_RLE4, len(stream), 4), palette(4), stream)


def bmp_seeds():
    # RLE escapes: 00 00 end of line, 00 01 end of bitmap, 00 02 dx dy delta,
    # 00 n absolute run of n pixels padded to 16 bits; otherwise n, value.
    rle8_stream = bytes(
        [2, 1, 0, 3, 2, 3, 1, 0, 0, 0,  # row 0: run of 2, absolute 2 3 1 (+pad), end of line
         0, 2, 2, 0,  # row 1: delta 2 right
         2, 2, 0, 0,  # run of 2, end of line
         5, 3, 0, 1]  # row 2: run of 5, end of bitmap
    )
    rle4_stream = bytes([5, 0x12, 0, 0, 0, 4, 0x30, 0x21, 0, 0, 4, 0x33, 0, 1])
    valid24 = uncompressed(5, 3, 24)
    return {
        "bpp1.bmp": uncompressed(7, 3, 1),
        "bpp4.bmp": uncompressed(5, 3, 4),
        "bpp8.bmp": uncompressed(5, 3, 8),
        "bpp8_top_down.bmp": uncompressed(5, -3, 8),
        "bpp16_555.bmp": uncompressed(5, 3, 16),
        "bpp16_565_bitfields.bmp": bitfields_16bit_565(5, 3),
        "bpp24.bmp": valid24,
        "bpp32.bmp": uncompressed(3, 2, 32),
        "bpp32_v4_bitfields.bmp": v4_32bit_bitfields(3, 2),
        "bpp24_v5.bmp": uncompressed(4, 2, 24, size=124),
        "core_header_bpp8.bmp": core_header_8bit(4, 2),
        "rle8.bmp": rle8(5, 3, rle8_stream),
        "rle4.bmp": rle4(5, 3, rle4_stream),
        "rle8_run_past_edge.bmp": rle8(5, 3, bytes([9, 1, 0, 1])),
        "rle8_no_end.bmp": rle8(5, 3, bytes([5, 1, 0, 0])),
        "truncated_pixels.bmp": valid24[:-7],
        "size_claims_more.bmp": bmp(info_header(5000, 4000, 8), palette(256), rows(5, 3, 8)),
        "not_bmp.bmp": b"BX" + valid24[2:],
        "offset_past_end.bmp": valid24[:10] + struct.pack("<I", len(valid24) + 100) + valid24[14:],
        "overlapping_masks.bmp": bmp(
            info_header(2, 2, 16, BI_BITFIELDS), struct.pack("<III", 0xFF00, 0x0FF0, 0x000F), rows(2, 2, 16)
        ),
        "truncated_header.bmp": valid24[:30],
    }


# ---------------------------------------------------------------------------
# Other programs' calibrations: byte 0 the kind (0 world file, 1 .map, 2 KML,
# 3 KMZ), bytes 1-4 the map's width and height (16 bits each), then the file.

HARBOUR_WORLD = "0.000114893617021277\r\n0\r\n0\r\n-0.0000672413793103\r\n10.852968085\r\n54.080913793\r\n"

HARBOUR_KML = (
    '<?xml version="1.0" encoding="UTF-8"?>\n<kml xmlns="http://www.opengis.net/kml/2.2"><GroundOverlay>'
    "<name>harbour</name><Icon><href>harbour.bmp</href></Icon><LatLonBox><north>54.0809474</north>"
    "<south>54.0406026</south><east>10.9448255</east><west>10.8529106</west><rotation>0</rotation>"
    "</LatLonBox></GroundOverlay></kml>\n"
)


def ozi_map(datum="WGS 84", points=None):
    points = points or [
        "Point01,xy,  170,  430,in, deg,  54,  3.12201724,N,  10, 52.34655319,E, grid,   ,           ,           ,N",
        "Point02,xy,  640,  140,in, deg,  54,  4.29201724,N,  10, 55.58655319,E, grid,   ,           ,           ,N",
    ]
    lines = [
        "OziExplorer Map Data File Version 2.2",
        "harbour",
        "harbour.bmp",
        "1 ,Map Code,",
        f"{datum},WGS 84,   0.0000,   0.0000,WGS 84",
        "Reserved 1",
        "Reserved 2",
        "Magnetic Variation,,,E",
        "Map Projection,Latitude/Longitude,PolyCal,No,AutoCalOnly,No,BSBUseWPX,No",
    ] + points
    lines += ["Point03,xy,     ,     ,in, deg,    ,            ,N,    ,            ,E, grid,   ,  ,  ,N"]
    lines += ["Projection Setup,,,,,,,,,,", "MMPNUM,4", "IWH,Map Image Width/Height,800,600"]
    return "".join(line + "\r\n" for line in lines)


def kmz(entries):
    import io
    import zipfile

    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in entries:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            archive.writestr(info, data)
    return buffer.getvalue()


def import_seeds():
    def seed(kind, data, width=800, height=600):
        data = data.encode("latin-1") if isinstance(data, str) else data
        return bytes([kind]) + struct.pack("<HH", width, height) + data

    return {
        "world.bin": seed(0, HARBOUR_WORLD),
        "world_rotated.bin": seed(0, HARBOUR_WORLD.replace("\r\n0\r\n", "\r\n0.0001\r\n", 1)),
        "world_projected.bin": seed(0, "5\n0\n0\n-5\n500000\n5900000\n"),
        "world_short.bin": seed(0, "0.0001\n0\n0\n"),
        "world_garbage.bin": seed(0, bytes(range(256))),
        "ozi.bin": seed(1, ozi_map()),
        "ozi_potsdam.bin": seed(1, ozi_map("Potsdam Rauenberg DHDN")),
        "ozi_unknown_datum.bin": seed(1, ozi_map("Pulkovo 1942 (1)")),
        "ozi_same_row.bin": seed(1, ozi_map(points=[
            "Point01,xy,  170,  430,in, deg,  54,  3.1,N,  10, 52.3,E, grid,   ,           ,           ,N",
            "Point02,xy,  640,  430,in, deg,  54,  3.1,N,  10, 55.5,E, grid,   ,           ,           ,N",
        ])),
        "kml.bin": seed(2, HARBOUR_KML),
        "kml_rotated.bin": seed(2, HARBOUR_KML.replace("<rotation>0<", "<rotation>12.5<")),
        "kml_quad.bin": seed(2, HARBOUR_KML.replace("LatLonBox", "gx:LatLonQuad")),
        "kml_doctype.bin": seed(2, '<?xml version="1.0"?><!DOCTYPE kml [<!ENTITY a "b">]><kml>&a;</kml>'),
        "kml_truncated.bin": seed(2, HARBOUR_KML[:200]),
        "kmz.bin": seed(3, kmz([("doc.kml", HARBOUR_KML), ("harbour.png", b"\x89PNG\r\n\x1a\n")])),
        "kmz_other_name.bin": seed(3, kmz([("files/overlay.KML", HARBOUR_KML)])),
        "kmz_no_kml.bin": seed(3, kmz([("harbour.png", b"\x89PNG")])),
        "kmz_not_zip.bin": seed(3, "PK\x03\x04 not a zip"),
    }


def main():
    targets = {
        "fuzz_cal_reader": cal_seeds(),
        "fuzz_magicmaps": magicmaps_seeds(),
        "fuzz_numeric_text": numeric_seeds(),
        "fuzz_point_syntax": point_seeds(),
        "fuzz_bmp": bmp_seeds(),
        "fuzz_calibration_import": import_seeds(),
    }
    if CORPUS.exists():
        shutil.rmtree(CORPUS)
    for target, seeds in targets.items():
        folder = CORPUS / target
        folder.mkdir(parents=True)
        for name, data in seeds.items():
            (folder / name).write_bytes(data)
        print(f"{target}: {len(seeds)} seeds, {sum(len(d) for d in seeds.values())} bytes")


if __name__ == "__main__":
    main()
