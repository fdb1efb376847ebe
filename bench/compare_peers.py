#!/usr/bin/python3
"""Runs the peers on Kartora's benchmark points and prints every figure with
its ratio to the peer.

Called by scripts/bench after the benchmark programs have run:

    compare_peers.py POINTS CORE_JSON [BMP_JSON]

POINTS     the points of kartora_bench_core --write_points: "lat lon zone
           hemisphere easting northing" per line (degrees, metres)
CORE_JSON  kartora_bench_core's --benchmark_out (repetitions, median kept)
BMP_JSON   kartora_bench_bmp's --benchmark_out (optional)

The peers, on the same points:
  pyproj      Transformer.from_crs(4326, 32632) and back, vectorised on numpy
              arrays; PROJ pipelines for the two datum shifts (the standard
              Molodensky formulas for Potsdam, a coordinate-frame Helmert
              through geocentric coordinates for European 1950)
  cs2cs       PROJ's command-line tool, EPSG:4326 -> EPSG:32632 and back, the
              points piped through one process
  GeoConvert  GeographicLib's tool, -u (UTM in each point's own zone) and -g
              (back to geographic)
  fread       a plain read of the same BMP file (from kartora_bench_bmp)

And kartora-cli convert (the program in $KARTORA_CLI) on a batch: the points
as WGS84 dec.Minute lines converted to UTM, against cs2cs with the matching
+proj=utm on the same points in degrees, both tools' whole runs.

Time per point is CPU time (the machine is shared, and "per core" is the unit
the targets use), except for the BMP figures, which kartora_bench_bmp
measures in wall time. The command-line tools are timed on the points
repeated ten times, less the CPU time of the same process given no input, so
that the start-up (opening PROJ's database, for instance) is not charged to
the points. Ratio = ours / peer in time per point: below 1 ours is faster.

Also prints how far our UTM results lie from GeoConvert's and pyproj's, to
show that the work compared is the same work.
"""

import json
import os
import resource
import statistics
import subprocess
import sys
import time

import numpy as np
from pyproj import Transformer

REPEAT_CLI = 10  # the points are piped this many times through a tool
RUNS = 5  # timings per peer; the median is kept

# Potsdam datum (Bessel 1841) and European 1950 (International 1924), as in
# Kartora's datum table; target WGS 84.
WGS84_A, WGS84_F = 6378137.0, 1 / 298.257223563
BESSEL_A, BESSEL_F = 6377397.155, 1 / 299.1528128
POTSDAM_MOLODENSKY = (
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    f"+step +proj=molodensky +a={BESSEL_A} +rf={1 / BESSEL_F} +dx=587 +dy=16 +dz=393 "
    f"+da={WGS84_A - BESSEL_A!r} +df={WGS84_F - BESSEL_F!r} "
    "+step +proj=unitconvert +xy_in=rad +xy_out=deg"
)
# Coordinate-frame rotations in Kartora's table; PROJ's position-vector
# convention negates them.
EUROPEAN_HELMERT = (
    "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
    "+step +proj=cart +ellps=intl +step +proj=helmert +x=-102 +y=-102 +z=-129 "
    "+rx=-0.413 +ry=0.184 +rz=-0.385 +s=2.4664 +convention=position_vector "
    "+step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg"
)


def read_points(path):
    lat, lon, zone, hemi, east, north = [], [], [], [], [], []
    with open(path) as f:
        for line in f:
            a, b, z, h, e, n = line.split()
            lat.append(float(a))
            lon.append(float(b))
            zone.append(int(z))
            hemi.append(h)
            east.append(float(e))
            north.append(float(n))
    return np.array(lat), np.array(lon), zone, hemi, np.array(east), np.array(north)


def cpu_time_per_call(function, runs=RUNS * 4):
    samples = []
    for _ in range(runs):
        start = time.process_time()
        function()
        samples.append(time.process_time() - start)
    return statistics.median(samples)


def tool_time_per_point(command, lines):
    """Median CPU time per point of a command-line tool over RUNS runs."""
    text = "".join(lines) * REPEAT_CLI
    count = len(lines) * REPEAT_CLI
    samples = []
    output = ""
    for _ in range(RUNS):
        empty, _ = run_timed(command, "")
        full, output = run_timed(command, text)
        samples.append(max(full - empty, 0.0) / count)
    return statistics.median(samples), output


def run_timed(command, text):
    """CPU time (user + system) of one run of `command` fed `text`, and its output.

    Measured as the growth of the reaped children's totals: this script runs
    one child at a time."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    result = subprocess.run(command, input=text, capture_output=True, text=True, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return cpu, result.stdout


def dm_line(lat, lon):
    """A point in kartora-cli's dec.Minute syntax, minutes to four decimals."""
    def part(value, positive, negative):
        magnitude = abs(value)
        degrees = int(magnitude)
        minutes = round((magnitude - degrees) * 60, 4)
        if minutes >= 60:
            degrees, minutes = degrees + 1, 0.0
        return f"{degrees} {minutes:.4f} {positive if value >= 0 else negative}"
    return f"{part(lon, 'E', 'W')} {part(lat, 'N', 'S')}\n"


def benchmark_medians(path, field):
    """name -> median of `field` from a Google Benchmark JSON file."""
    with open(path) as f:
        report = json.load(f)
    medians = {}
    for entry in report["benchmarks"]:
        if entry.get("aggregate_name") == "median":
            # "decode/8bpp/repeats:7/real_time" -> "decode/8bpp"
            parts = [p for p in entry["run_name"].split("/") if not p.startswith("repeats:") and p != "real_time"]
            medians["/".join(parts)] = entry[field]
    return medians


def main():
    points_path, core_json = sys.argv[1], sys.argv[2]
    bmp_json = sys.argv[3] if len(sys.argv) > 3 else None
    lat, lon, zone, hemi, east, north = read_points(points_path)
    n = len(lat)

    # Ours: nanoseconds of CPU time per point from the median items/s.
    ours = {name: 1e9 / ips for name, ips in benchmark_medians(core_json, "items_per_second").items()}

    peers = {}  # (our figure, peer name) -> ns per point

    forward = Transformer.from_crs(4326, 32632)
    inverse = Transformer.from_crs(32632, 4326)
    pe, pn = forward.transform(lat, lon)
    peers[("utm/forward", "pyproj")] = cpu_time_per_call(lambda: forward.transform(lat, lon)) / n * 1e9
    peers[("utm/inverse", "pyproj")] = cpu_time_per_call(lambda: inverse.transform(pe, pn)) / n * 1e9

    potsdam = Transformer.from_pipeline(POTSDAM_MOLODENSKY)
    european = Transformer.from_pipeline(EUROPEAN_HELMERT)
    for name, transformer, direction in (
        ("shift/potsdam_to_wgs84", potsdam, "FORWARD"),
        ("shift/wgs84_to_potsdam", potsdam, "INVERSE"),
        ("shift/european_to_wgs84", european, "FORWARD"),
        ("shift/wgs84_to_european", european, "INVERSE"),
    ):
        peers[(name, "pyproj")] = (
            cpu_time_per_call(lambda: transformer.transform(lon, lat, direction=direction)) / n * 1e9
        )

    geographic_lines = [f"{a!r} {b!r}\n" for a, b in zip(lat, lon)]
    utm_lines = [f"{z}{h.lower()} {e!r} {nn!r}\n" for z, h, e, nn in zip(zone, hemi, east, north)]
    zone32_lines = [f"{e!r} {nn!r}\n" for e, nn in zip(pe, pn)]

    seconds, geoconvert_out = tool_time_per_point(["GeoConvert", "-u", "-p", "3"], geographic_lines)
    peers[("utm/forward", "GeoConvert -u")] = seconds * 1e9
    seconds, _ = tool_time_per_point(["GeoConvert", "-g", "-p", "9"], utm_lines)
    peers[("utm/inverse", "GeoConvert -g")] = seconds * 1e9
    seconds, cs2cs_out = tool_time_per_point(["cs2cs", "EPSG:4326", "EPSG:32632", "-f", "%.4f"], geographic_lines)
    peers[("utm/forward", "cs2cs")] = seconds * 1e9
    seconds, _ = tool_time_per_point(["cs2cs", "EPSG:32632", "EPSG:4326", "-f", "%.10f"], zone32_lines)
    peers[("utm/inverse", "cs2cs")] = seconds * 1e9

    # Same work: our UTM against GeoConvert (every point in its own zone) and
    # against pyproj and cs2cs (zone 32 only, where ours is zone 32 too).
    gc = [line.split() for line in geoconvert_out.splitlines()[:n]]
    gc_zone_ok = all(g[0] == f"{z}{h.lower()}" for g, z, h in zip(gc, zone, hemi))
    gc_diff = max(max(abs(float(g[1]) - e), abs(float(g[2]) - nn)) for g, e, nn in zip(gc, east, north))
    in32 = np.array([z == 32 for z in zone])
    py_diff = float(np.max(np.maximum(np.abs(pe[in32] - east[in32]), np.abs(pn[in32] - north[in32]))))
    cs = np.array([[float(v) for v in line.split()[:2]] for line in cs2cs_out.splitlines()[:n]])
    cs_diff = float(np.max(np.maximum(np.abs(cs[in32, 0] - east[in32]), np.abs(cs[in32, 1] - north[in32]))))

    rows = []
    for figure in ours:  # in the benchmark's order, each figure with all its peers
        for (name, peer), peer_ns in peers.items():
            if name == figure:
                rows.append((name, ours[name], peer, peer_ns))
    if bmp_json and os.path.exists(bmp_json):
        wall = benchmark_medians(bmp_json, "real_time")  # milliseconds per file
        # Two freads: into a fresh buffer (first touch of new memory, as the
        # decoder's image is new on every load) and into one reused buffer
        # (the copy from the page cache alone, the stricter floor).
        for depth in ("8bpp", "24bpp"):
            for peer, label in (("fread", "fread"), ("fread_reused_buffer", "fread, reused")):
                if f"decode/{depth}" in wall and f"{peer}/{depth}" in wall:
                    rows.append((f"bmp decode 10000x10000 {depth}", wall[f"decode/{depth}"] * 1e6, label,
                                 wall[f"{peer}/{depth}"] * 1e6))

    print()
    print(f"{n} points across Europe; CPU ns per point (BMP: wall ms per file); "
          "ratio = ours / peer, below 1 ours is faster")
    print(f"{'figure':<32} {'ours':>12} {'peer':<16} {'peer time':>12} {'ratio':>7}")
    for name, ours_ns, peer, peer_ns in rows:
        if name.startswith("bmp"):
            print(f"{name:<32} {ours_ns / 1e6:>9.1f} ms {peer:<16} {peer_ns / 1e6:>9.1f} ms {ours_ns / peer_ns:>7.2f}")
        else:
            print(f"{name:<32} {ours_ns:>9.1f} ns {peer:<16} {peer_ns:>9.1f} ns {ours_ns / peer_ns:>7.2f}")
    print()
    print("ours without a peer (the converter's figures include the hand-over of the points, its own row):")
    for name in ours:
        if not any(r[0] == name for r in rows):
            print(f"{name:<32} {ours[name]:>9.1f} ns  ({1e3 / ours[name]:.2f} M items/s)")
    print()
    print(f"UTM forward: {1e3 / ours['utm/forward']:.2f} M points/s per core (target: at least 1)")
    for name, ours_ns, peer, peer_ns in rows:
        if name == "bmp decode 10000x10000 8bpp":
            print(f"BMP decode 8bpp: {ours_ns / peer_ns:.2f} x {peer} (target: at most 2.5)")
    cli = os.environ.get("KARTORA_CLI")
    if cli:
        dm_lines = [dm_line(a, b) for a, b in zip(lat, lon)]
        degree_lines = [f"{b!r} {a!r}\n" for a, b in zip(lat, lon)]
        ours_s, _ = tool_time_per_point([cli, "convert", "--format", "dm", "--to-format", "utm"], dm_lines)
        peer_s, _ = tool_time_per_point(
            ["cs2cs", "+proj=longlat", "+datum=WGS84", "+to", "+proj=utm", "+zone=32", "+datum=WGS84", "-f", "%.3f"],
            degree_lines)
        print(f"kartora-cli convert dm -> utm: {1e-6 / ours_s:.2f} M points/s, cs2cs {1e-6 / peer_s:.2f} M points/s: "
              f"{peer_s / ours_s:.2f} x cs2cs's points per second (target: at least 2)")
    print(f"agreement of our UTM: GeoConvert max {gc_diff * 1000:.3f} mm (same zones: {gc_zone_ok}); "
          f"pyproj max {py_diff * 1000:.3f} mm, cs2cs max {cs_diff * 1000:.3f} mm (zone 32 points)")


if __name__ == "__main__":
    main()
