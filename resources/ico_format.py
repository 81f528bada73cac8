"""Icon and cursor files (ICO/CUR) with 32-bit images, shared by the
resource scripts. An image is a function (x, y) -> (r, g, b, a) with
components 0..255, evaluated with 4 x 4 supersampling. Images of 256
pixels are stored PNG-compressed, as Windows expects at that size; the
smaller ones as bitmaps, which every Windows reads."""
import struct
import zlib


def render(size, shade):
    """Pixel rows, top row first, of a shade function over [0, size)."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(4):
                for sx in range(4):
                    r, g, b, a = shade(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / 16
            if alpha > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], alpha))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap(rows):
    """The DIB of one icon image: header, BGRA pixels bottom-up, AND mask."""
    size = len(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((int(b + 0.5), int(g + 0.5), int(r + 0.5), int(a + 0.5)))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + mask


def png(rows):
    """A PNG file of the rows: 8-bit RGBA, no interlace."""
    size = len(rows)

    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))

    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type None
        for r, g, b, a in row:
            raw += bytes((int(r + 0.5), int(g + 0.5), int(b + 0.5), int(a + 0.5)))
    header = struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) +
            chunk(b'IEND', b''))


def icon_file(images, cursor_hotspot=None):
    """An .ico (or a .cur when a hotspot is given) holding the images."""
    kind = 2 if cursor_hotspot else 1
    data = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for rows in images:
        size = len(rows)
        blob = png(rows) if size >= 256 else bitmap(rows)
        if cursor_hotspot:
            planes, bits = cursor_hotspot
        else:
            planes, bits = 1, 32
        dim = size if size < 256 else 0
        data += struct.pack('<BBBBHHII', dim, dim, 0, 0, planes, bits, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return data + b''.join(blobs)
