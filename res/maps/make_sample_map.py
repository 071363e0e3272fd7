#!/usr/bin/env python3
"""Writes the sample map in VexaDemoPPC_Maps/: synthetic streets, blocks, a park and a few
landmarks around the simulator's default position, as GeoJSON layers and a geoset.

Run it again after changing it: python3 res/maps/make_sample_map.py
"""
import json
import math
import os

ORIGIN_LAT = 37.3875
ORIGIN_LON = -121.9720
STREETS = 11            # streets in each direction, one every SPACING metres
SPACING = 200.0
HALF_WIDTH = 14.0       # metres of road on each side of a street's centre line
AVENUE_EVERY = 5        # every fifth street is an avenue

METRES_PER_DEG_LAT = 111132.954
METRES_PER_DEG_LON = 111319.49079327357 * math.cos(math.radians(ORIGIN_LAT))


def to_lonlat(east, north):
    return [round(ORIGIN_LON + east / METRES_PER_DEG_LON, 6), round(ORIGIN_LAT + north / METRES_PER_DEG_LAT, 6)]


def ring(points):
    coordinates = [to_lonlat(e, n) for e, n in points]
    return coordinates + [coordinates[0]]


def feature(geometry_type, coordinates, **properties):
    return {"type": "Feature", "properties": properties,
            "geometry": {"type": geometry_type, "coordinates": coordinates}}


def offsets():
    first = -(STREETS // 2) * SPACING
    return [first + i * SPACING for i in range(STREETS)]


def streets_and_avenues():
    streets, avenues = [], []
    span = (offsets()[0], offsets()[-1])
    for i, offset in enumerate(offsets()):
        target = avenues if i % AVENUE_EVERY == 0 else streets
        kind = "Avenue" if target is avenues else "Street"
        target.append(feature("LineString", [to_lonlat(offset, span[0]), to_lonlat(offset, span[1])],
                              name=f"{i + 1} North {kind}"))
        target.append(feature("LineString", [to_lonlat(span[0], offset), to_lonlat(span[1], offset)],
                              name=f"{i + 1} East {kind}"))
    # A winding road across the grid, so that not every line is straight.
    bend = [to_lonlat(e, 300.0 * math.sin(e / 250.0)) for e in range(int(span[0]), int(span[1]) + 1, 50)]
    avenues.append(feature("LineString", bend, name="Creek Road"))
    return streets, avenues


def blocks_and_park():
    blocks, park = [], []
    cells = offsets()
    for west, east in zip(cells, cells[1:]):
        for south, north in zip(cells, cells[1:]):
            outline = [(west + HALF_WIDTH, south + HALF_WIDTH), (east - HALF_WIDTH, south + HALF_WIDTH),
                       (east - HALF_WIDTH, north - HALF_WIDTH), (west + HALF_WIDTH, north - HALF_WIDTH)]
            if (west, south) == (SPACING, SPACING):
                pond = [(east - 70.0, south + 60.0), (east - 70.0, south + 110.0), (east - 120.0, south + 110.0),
                        (east - 120.0, south + 60.0)]
                park.append(feature("Polygon", [ring(outline), ring(pond)], name="Origin Park"))
            else:
                blocks.append(feature("Polygon", [ring(outline)], block=f"{west:.0f},{south:.0f}"))
    return blocks, park


def landmarks():
    places = [("Station", 0.0, 0.0), ("Library", -400.0, 300.0), ("School", 500.0, -300.0), ("Clinic", 300.0, 500.0)]
    return [feature("Point", to_lonlat(e + 30.0, n + 30.0), name=name) for name, e, n in places]


def write_layer(folder, name, features):
    with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
        json.dump({"type": "FeatureCollection", "features": features}, out, separators=(",", ":"))
        out.write("\n")


GEOSET = """!GEOSET
!VERSION 100
"\\GEOSET\\NAME" = "VexaDemoPPC sample streets"
"\\GEOSET\\CENTER" = "{lon},{lat}"
"\\GEOSET\\ZOOM" = "1500"
"\\TABLE\\1\\FILE" = "blocks.geojson"
"\\TABLE\\1\\FILLCOLOR" = "#E4DCCC"
"\\TABLE\\1\\LINECOLOR" = "#C8BCA8"
"\\TABLE\\2\\FILE" = "park.geojson"
"\\TABLE\\2\\FILLCOLOR" = "#A8D898"
"\\TABLE\\2\\LINECOLOR" = "#70A060"
"\\TABLE\\3\\FILE" = "streets.geojson"
"\\TABLE\\3\\LINECOLOR" = "#909090"
"\\TABLE\\4\\FILE" = "avenues.geojson"
"\\TABLE\\4\\LINECOLOR" = "#E09830"
"\\TABLE\\4\\LINEWIDTH" = "3"
"\\TABLE\\5\\FILE" = "landmarks.geojson"
"\\TABLE\\5\\POINTCOLOR" = "#C02020"
"""


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "VexaDemoPPC_Maps")
    os.makedirs(folder, exist_ok=True)
    streets, avenues = streets_and_avenues()
    blocks, park = blocks_and_park()
    write_layer(folder, "blocks.geojson", blocks)
    write_layer(folder, "park.geojson", park)
    write_layer(folder, "streets.geojson", streets)
    write_layer(folder, "avenues.geojson", avenues)
    write_layer(folder, "landmarks.geojson", landmarks())
    with open(os.path.join(folder, "VexaDemoPPC.gst"), "w", encoding="utf-8") as out:
        out.write(GEOSET.format(lon=ORIGIN_LON, lat=ORIGIN_LAT))


if __name__ == "__main__":
    main()
