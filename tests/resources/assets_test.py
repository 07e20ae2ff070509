#!/usr/bin/env python3
"""Checks the committed icons, sounds, manifest and resource script.

    python3 tests/resources/assets_test.py [-v]

The icon and sound checks need only Python. Regenerating the sounds needs sox, compiling the
resource script needs i686-w64-mingw32-windres (or $WINDRES); those tests are skipped without them.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import wave
import xml.etree.ElementTree as ElementTree

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
RESOURCES = os.path.join(ROOT, "resources")
ICONS = os.path.join(RESOURCES, "icons")
SOUNDS = os.path.join(RESOURCES, "se")
TRAY_ICONS = {110: "idle.ico", 111: "seeking.ico", 112: "disabled.ico"}
TRAY_FORMATS = [(48, 32), (48, 4), (32, 32), (32, 4), (24, 32), (24, 4), (20, 32), (20, 4), (16, 32),
                (16, 4)]
PROGRAM_FORMATS = [(32, 1), (16, 24), (16, 4)]
SOUND_NAMES = ("match", "mismatch", "abort", "timeout", "enable", "disable")


def read(path):
    with open(path, "rb") as source:
        return source.read()


class Image:
    """One decoded icon image: rgba[y][x] with y from the top; alpha 0 where the AND mask clears."""

    def __init__(self, data):
        (self.header_size, self.width, self.height, self.planes, self.bits, self.compression,
         self.image_size) = struct.unpack_from("<IiiHHII", data)
        size, bits = self.width, self.bits
        colours = 1 << bits if bits <= 8 else 0
        self.palette = [struct.unpack_from("<BBB", data, 40 + 4 * i)[::-1] for i in range(colours)]
        xor_stride = (size * bits + 31) // 32 * 4
        and_stride = (size + 31) // 32 * 4
        xor_start = 40 + 4 * colours
        and_start = xor_start + xor_stride * size
        self.expected_length = and_start + and_stride * size
        self.length = len(data)
        self.xor_values, self.mask, self.rgba = [], [], []
        for y in range(size):
            row = size - 1 - y
            xor_row = data[xor_start + row * xor_stride:]
            and_row = data[and_start + row * and_stride:]
            values, mask, rgba = [], [], []
            for x in range(size):
                clear = and_row[x // 8] >> (7 - x % 8) & 1
                if bits == 32:
                    b, g, r, a = xor_row[4 * x:4 * x + 4]
                    values.append((b, g, r, a))
                    rgba.append((r, g, b, a))
                elif bits == 24:
                    b, g, r = xor_row[3 * x:3 * x + 3]
                    values.append((b, g, r))
                    rgba.append((r, g, b, 0 if clear else 255))
                else:
                    index = xor_row[x * bits // 8] >> (8 - bits - x * bits % 8) & ((1 << bits) - 1)
                    values.append(index)
                    rgba.append(self.palette[index] + (0 if clear else 255,))
                mask.append(clear)
            self.xor_values.append(values)
            self.mask.append(mask)
            self.rgba.append(rgba)


def read_ico(path):
    """[(directory entry fields, Image, raw image bytes)] in directory order."""
    data = read(path)
    reserved, kind, count = struct.unpack_from("<HHH", data)
    assert (reserved, kind) == (0, 1), path
    result = []
    for i in range(count):
        entry = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        raw = data[entry[7]:entry[7] + entry[6]]
        assert len(raw) == entry[6], f"{path}: image {i} runs past the end"
        result.append((entry, Image(raw), raw))
    return result


def is_white(pixel):
    return pixel[3] == 255 and min(pixel[:3]) >= 235


def is_red(pixel):
    return pixel[3] == 255 and pixel[0] >= 200 and max(pixel[1:3]) <= 80


def is_grey(pixel):
    return pixel[3] == 255 and 100 <= min(pixel[:3]) and max(pixel[:3]) <= 170 \
        and max(pixel[:3]) - min(pixel[:3]) <= 12


def bands(image, test):
    """Runs of consecutive rows holding a pixel that passes test: [(first row, last row)]."""
    rows = [any(test(pixel) for pixel in row) for row in image.rgba]
    runs, start = [], None
    for y, hit in enumerate(rows + [False]):
        if hit and start is None:
            start = y
        elif not hit and start is not None:
            runs.append((start, y - 1))
            start = None
    return runs


def widest(image, test, first, last):
    return max(sum(1 for pixel in image.rgba[y] if test(pixel)) for y in range(first, last + 1))


class IconFormatTest(unittest.TestCase):
    def check_formats(self, name, formats):
        images = read_ico(os.path.join(ICONS, name))
        self.assertEqual([(entry[0] or 256, entry[5]) for entry, _, _ in images], formats, name)
        for (width, height, colours, reserved, planes, bits, _, _), image, _ in images:
            with self.subTest(icon=name, size=width, bits=bits):
                self.assertEqual((height, reserved, planes), (width, 0, 1))
                self.assertEqual(colours, 1 << bits if bits < 8 else 0)
                self.assertEqual((image.header_size, image.width, image.height, image.planes,
                                  image.bits, image.compression), (40, width, 2 * width, 1, bits, 0))
                self.assertEqual(image.length, image.expected_length)
                self.assertEqual(image.image_size, image.expected_length - 40 - 4 * colours)
        return images

    def test_program_icon_has_the_three_classic_formats(self):
        self.check_formats("pavix.ico", PROGRAM_FORMATS)

    def test_tray_icons_have_every_small_icon_size_in_true_colour_and_sixteen_colours(self):
        for name in TRAY_ICONS.values():
            self.check_formats(name, TRAY_FORMATS)

    def test_masks_agree_with_colours_and_corners_are_transparent(self):
        for name in ("pavix.ico",) + tuple(TRAY_ICONS.values()):
            for entry, image, _ in read_ico(os.path.join(ICONS, name)):
                with self.subTest(icon=name, size=entry[0], bits=entry[5]):
                    last = image.width - 1
                    for x, y in ((0, 0), (last, 0), (0, last), (last, last)):
                        self.assertEqual(image.rgba[y][x][3], 0)
                    blank = {32: (0, 0, 0, 0), 24: (0, 0, 0)}.get(image.bits, 0)
                    for y in range(image.width):
                        for x in range(image.width):
                            clear, value = image.mask[y][x], image.xor_values[y][x]
                            if image.bits == 32:
                                # Where alpha is ignored, the mask keeps what is mostly covered.
                                self.assertEqual(clear, value[3] < 128, (x, y))
                                if value[3] == 0:
                                    self.assertEqual(value, blank, (x, y))
                            elif clear:
                                # Black under a clear mask bit leaves the screen untouched.
                                self.assertEqual(value, blank, (x, y))

    def test_true_colour_tray_images_have_soft_edges(self):
        for name in TRAY_ICONS.values():
            for entry, image, _ in read_ico(os.path.join(ICONS, name)):
                if image.bits == 32:
                    alphas = {pixel[3] for row in image.rgba for pixel in row}
                    self.assertTrue(alphas - {0, 255}, f"{name} {entry[0]}: no partial alpha")

    def test_sixteen_colour_images_use_the_standard_palette(self):
        standard = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
                    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
                    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
        for name in ("pavix.ico",) + tuple(TRAY_ICONS.values()):
            for entry, image, _ in read_ico(os.path.join(ICONS, name)):
                if image.bits == 4:
                    self.assertEqual(image.palette, standard, f"{name} {entry[0]}")
                if image.bits == 1:
                    self.assertEqual(image.palette, [(0, 0, 0), (255, 255, 255)], name)

    def test_generator_reproduces_the_committed_icons(self):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([sys.executable, os.path.join(ROOT, "tools", "make_icons.py"), folder],
                           check=True)
            for name in ("pavix.ico",) + tuple(TRAY_ICONS.values()):
                self.assertEqual(read(os.path.join(folder, name)), read(os.path.join(ICONS, name)),
                                 f"{name} differs from what tools/make_icons.py draws")


class IconPictureTest(unittest.TestCase):
    """What each picture shows, at every size and colour depth."""

    def tray_images(self, name):
        return [(f"{name} {entry[0]}px {entry[5]}-bit", image)
                for entry, image, _ in read_ico(os.path.join(ICONS, name))]

    def test_white_parts_are_outlined_against_any_taskbar(self):
        for name in TRAY_ICONS.values():
            for label, image in self.tray_images(name):
                size = image.width
                for y in range(size):
                    for x in range(size):
                        if not is_white(image.rgba[y][x]):
                            continue
                        for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                            inside = 0 <= nx < size and 0 <= ny < size
                            self.assertTrue(inside and image.rgba[ny][nx][3] >= 128,
                                            f"{label}: white pixel {x},{y} touches the background")

    def test_idle_is_a_white_disc_under_a_white_bar(self):
        for label, image in self.tray_images("idle.ico"):
            size = image.width
            runs = bands(image, is_white)
            self.assertEqual(len(runs), 2, label)
            (bar_top, bar_bottom), (disc_top, disc_bottom) = runs
            self.assertLessEqual(bar_bottom - bar_top + 1, size // 4, label)
            self.assertGreaterEqual(disc_bottom - disc_top + 1, size // 2, label)
            self.assertGreater(widest(image, is_white, bar_top, bar_bottom),
                               widest(image, is_white, disc_top, disc_bottom), label)
            self.assertFalse(bands(image, is_red), label)

    def test_seeking_is_a_red_disc_above_a_white_bar(self):
        for label, image in self.tray_images("seeking.ico"):
            size = image.width
            red, white = bands(image, is_red), bands(image, is_white)
            self.assertEqual(len(red), 1, label)
            self.assertEqual(len(white), 1, label)
            self.assertLess(red[0][1], white[0][0], label)
            self.assertGreaterEqual(red[0][1] - red[0][0] + 1, size // 2, label)
            self.assertLessEqual(white[0][1] - white[0][0] + 1, size // 4, label)
            self.assertGreaterEqual(widest(image, is_white, *white[0]), size * 5 // 8, label)

    def test_disabled_is_a_grey_disc_crossed_by_a_white_x(self):
        for label, image in self.tray_images("disabled.ico"):
            size = image.width
            centre, step, far = size // 2, size // 5, size * 5 // 16
            pixel = lambda dx, dy: image.rgba[centre + dy][centre + dx]
            self.assertTrue(is_white(pixel(0, 0)) or is_white(pixel(-1, -1)), label)
            for dx, dy in ((-step, -step), (step, -step), (-step, step), (step, step)):
                self.assertTrue(is_white(pixel(dx, dy)) or is_white(pixel(dx - 1, dy - 1)),
                                f"{label}: no arm of the X at {dx},{dy}")
            for dx, dy in ((0, -far), (-far, 0), (far - 1, 0), (0, far - 1)):
                self.assertTrue(is_grey(pixel(dx, dy)), f"{label}: no grey disc at {dx},{dy}")
            self.assertFalse(bands(image, is_red), label)

    def test_program_icon_is_drawn_in_every_format(self):
        for entry, image, _ in read_ico(os.path.join(ICONS, "pavix.ico")):
            opaque = [pixel for row in image.rgba for pixel in row if pixel[3]]
            label = f"{entry[0]}px {entry[5]}-bit"
            self.assertGreater(len(opaque), image.width * image.width // 2, label)
            self.assertTrue(any(max(pixel[:3]) < 60 for pixel in opaque), label)
            self.assertTrue(any(min(pixel[:3]) > 200 for pixel in opaque), label)
            if image.bits != 1:
                self.assertTrue(any(pixel[2] > 180 and pixel[0] < 80 for pixel in opaque),
                                f"{label}: the blue chevrons are missing")


def samples_of(path):
    with wave.open(path) as sound:
        frames = sound.readframes(sound.getnframes())
    return struct.unpack(f"<{len(frames) // 2}h", frames)


def rate_of(path):
    with wave.open(path) as sound:
        return sound.getframerate()


class SoundTest(unittest.TestCase):
    def test_each_sound_is_short_small_mono_16_bit_pcm(self):
        for name in SOUND_NAMES:
            path = os.path.join(SOUNDS, name + ".wav")
            with self.subTest(sound=name):
                data = read(path)
                self.assertLess(len(data), 40 * 1024)
                self.assertEqual((data[:4], data[8:16]), (b"RIFF", b"WAVEfmt "))
                self.assertEqual(struct.unpack_from("<I", data, 4)[0], len(data) - 8)
                self.assertEqual(struct.unpack_from("<H", data, 20)[0], 1, "not PCM")
                with wave.open(path) as sound:
                    self.assertEqual((sound.getnchannels(), sound.getsampwidth()), (1, 2))
                    self.assertIn(sound.getframerate(), (22050, 44100))
                    seconds = sound.getnframes() / sound.getframerate()
                self.assertGreaterEqual(seconds, 0.1)
                self.assertLessEqual(seconds, 0.4)

    def test_sounds_are_modest_and_fade_in_and_out(self):
        for name in SOUND_NAMES:
            path = os.path.join(SOUNDS, name + ".wav")
            samples, rate = samples_of(path), rate_of(path)
            with self.subTest(sound=name):
                peak = max(abs(value) for value in samples)
                self.assertGreater(peak, 32768 * 0.1)
                self.assertLess(peak, 32768 * 0.6)
                # No note may start or stop abruptly: the first and last millisecond stay
                # well below the peak, and the very first and last samples are near silence.
                edge = rate // 1000
                self.assertLess(max(abs(value) for value in samples[:edge]), peak * 0.35)
                self.assertLess(max(abs(value) for value in samples[-edge:]), peak * 0.15)
                self.assertLess(max(abs(samples[0]), abs(samples[-1])), 32768 * 0.01)

    def test_sounds_are_distinct(self):
        seen = {}
        for name in SOUND_NAMES:
            samples = samples_of(os.path.join(SOUNDS, name + ".wav"))
            for other, other_samples in seen.items():
                length = min(len(samples), len(other_samples))
                difference = sum(abs(a - b) for a, b in zip(samples[:length], other_samples))
                self.assertGreater(difference / length, 500, f"{name} sounds like {other}")
            seen[name] = samples

    @unittest.skipUnless(shutil.which("sox"), "sox is not installed")
    def test_generator_reproduces_the_committed_sounds(self):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["sh", os.path.join(ROOT, "tools", "make_sounds.sh"), folder],
                           check=True)
            for name in SOUND_NAMES:
                fresh = samples_of(os.path.join(folder, name + ".wav"))
                committed = samples_of(os.path.join(SOUNDS, name + ".wav"))
                self.assertEqual(len(fresh), len(committed), name)
                # A different sox build may round the odd sample differently.
                self.assertLessEqual(max(abs(a - b) for a, b in zip(fresh, committed)), 4, name)


def read_res(data):
    """Entries of a .res file: {(type, name, language): bytes}; numeric ids as ints."""
    def name_at(offset):
        if struct.unpack_from("<H", data, offset)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, offset + 2)[0], offset + 4
        end = offset
        while struct.unpack_from("<H", data, end)[0]:
            end += 2
        return data[offset:end].decode("utf-16-le"), end + 2

    entries, offset = {}, 0
    while offset < len(data):
        size, header = struct.unpack_from("<II", data, offset)
        kind, after = name_at(offset + 8)
        name, after = name_at(after)
        after = (after + 3) & ~3
        language = struct.unpack_from("<H", data, after + 6)[0]
        if size:
            entries[(kind, name, language)] = data[offset + header:offset + header + size]
        offset = (offset + header + size + 3) & ~3
    return entries


def version_tree(data, offset=0):
    """One node of a VERSIONINFO resource: (key, value, children). Text values (type 1) come back
    as str, binary ones as bytes."""
    length, value_length, kind = struct.unpack_from("<HHH", data, offset)
    end = offset + 6
    while struct.unpack_from("<H", data, end)[0]:
        end += 2
    key = data[offset + 6:end].decode("utf-16-le")
    position = (end + 2 + 3) & ~3
    if kind == 1:
        value_end = position + 2 * value_length
        value = data[position:value_end].decode("utf-16-le").rstrip("\0")
    else:
        value_end = position + value_length
        value = data[position:value_end]
    children, position = [], (value_end + 3) & ~3
    while position < offset + length:
        child = version_tree(data, position)
        children.append(child[:3])
        position = (position + child[3] + 3) & ~3
    return key, value, children, length


def generate_build_info(folder, arch):
    subprocess.run([sys.executable, os.path.join(ROOT, "tools", "gen_build_info.py"),
                    os.path.join(ROOT, "VERSION"), arch, folder], check=True)


def release():
    return read(os.path.join(ROOT, "VERSION")).decode("ascii").strip()


class ResourceScriptTest(unittest.TestCase):
    def test_manifest_asks_for_common_controls_6_and_no_elevation(self):
        for arch in ("x86", "amd64"):
            with self.subTest(arch=arch), tempfile.TemporaryDirectory() as folder:
                generate_build_info(folder, arch)
                root = ElementTree.parse(os.path.join(folder, "pavix.manifest")).getroot()
                v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
                own = root.find(v1 + "assemblyIdentity")
                self.assertEqual((own.get("name"), own.get("processorArchitecture"),
                                  own.get("version")), ("Pavix", arch, release() + ".0"))
                controls = root.find(f"{v1}dependency/{v1}dependentAssembly/{v1}assemblyIdentity")
                self.assertEqual({key: controls.get(key) for key in controls.keys()},
                                 {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
                                  "version": "6.0.0.0", "processorArchitecture": arch,
                                  "publicKeyToken": "6595b64144ccf1df", "language": "*"})
                level = root.find(f"{v3}trustInfo/{v3}security/{v3}requestedPrivileges/"
                                  f"{v3}requestedExecutionLevel")
                self.assertEqual(level.get("level"), "asInvoker")

    def test_manifest_declares_the_systems_and_the_scaling_it_handles(self):
        with tempfile.TemporaryDirectory() as folder:
            generate_build_info(folder, "x86")
            root = ElementTree.parse(os.path.join(folder, "pavix.manifest")).getroot()
        compatibility = "{urn:schemas-microsoft-com:compatibility.v1}"
        systems = [entry.get("Id") for entry in root.iter(compatibility + "supportedOS")]
        self.assertEqual(systems, ["{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
                                   "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
                                   "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
                                   "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
                                   "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"])  # 10, 11
        settings = root.find("{urn:schemas-microsoft-com:asm.v3}application/"
                             "{urn:schemas-microsoft-com:asm.v3}windowsSettings")
        older = settings.find("{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware")
        newer = settings.find(
            "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")
        # Read in order, the first one known wins; per-monitor without v2 would leave the
        # dialogs unscaled on the monitors that differ from the main one.
        self.assertEqual(older.text, "true")
        self.assertEqual([word.strip() for word in newer.text.split(",")],
                         ["PerMonitorV2", "System"])

    def test_script_is_utf8_with_its_code_page_declared(self):
        text = read(os.path.join(RESOURCES, "pavix.rc")).decode("utf-8")
        self.assertIn("#pragma code_page(65001)", text.splitlines()[:10])

    @unittest.skipUnless(shutil.which(os.environ.get("WINDRES", "i686-w64-mingw32-windres")),
                         "windres is not installed")
    def test_compiled_script_holds_every_resource(self):
        windres = os.environ.get("WINDRES", "i686-w64-mingw32-windres")
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run([sys.executable, os.path.join(ROOT, "tools", "gen_texts.py"),
                            os.path.join(RESOURCES, "texts.tsv"),
                            "--rc", os.path.join(folder, "texts.rc"),
                            "--dialogs", os.path.join(RESOURCES, "dialogs.tsv"),
                            "--dialogs-rc", os.path.join(folder, "dialogs.rc")], check=True)
            generate_build_info(folder, "x86")
            manifest = read(os.path.join(folder, "pavix.manifest"))
            output = os.path.join(folder, "pavix.res")
            subprocess.run([windres, "-I", folder, "-I", RESOURCES,
                            os.path.join(RESOURCES, "pavix.rc"), "-O", "res", "-o", output],
                           check=True)
            entries = read_res(read(output))

        groups = dict(TRAY_ICONS)
        groups[101] = "pavix.ico"
        for group, name in groups.items():
            with self.subTest(group=group):
                directory = entries[(14, group, 0)]
                count = struct.unpack_from("<H", directory, 4)[0]
                images = read_ico(os.path.join(ICONS, name))
                self.assertEqual(count, len(images))
                for i, (entry, _, raw) in enumerate(images):
                    fields = struct.unpack_from("<BBBBHHIH", directory, 6 + 14 * i)
                    # The system picks an image by these fields, so they must match the image.
                    self.assertEqual(fields[:7], entry[:7])
                    self.assertEqual(entries[(3, fields[7], 0)], raw)

        self.assertEqual(entries[(24, 1, 0)], manifest)
        root = version_tree(entries[(16, 1, 0)])
        self.assertEqual(root[0], "VS_VERSION_INFO")
        self.assertEqual(struct.unpack_from("<IIIIII", root[1], 0)[0], 0xFEEF04BD)
        major, minor, patch = (int(part) for part in release().split("."))
        packed = ((major << 16) | minor, patch << 16)
        self.assertEqual(struct.unpack_from("<IIII", root[1], 8), packed + packed)
        children = {key: nodes for key, _, nodes in root[2]}
        tables = {key: {name: value for name, value, _ in strings}
                  for key, _, strings in children["StringFileInfo"]}
        self.assertEqual(set(tables), {"040904B0", "041104B0"})
        for table in tables.values():
            self.assertEqual(table["ProductName"], "Pavix")
            self.assertEqual(table["FileDescription"], "Pavix hotkey sequencer")
            self.assertEqual(table["FileVersion"], release() + ".0")
            self.assertEqual(table["ProductVersion"], release() + ".0")
        translation = children["VarFileInfo"][0][1]
        self.assertEqual(struct.unpack("<4H", translation), (0x409, 1200, 0x411, 1200))
        for language in (0x409, 0x411):
            self.assertIn((4, 103, language), entries)
            self.assertIn((6, 1, language), entries)


if __name__ == "__main__":
    unittest.main()
