#!/usr/bin/env python3
"""Reads a report's summary.json with Python's own JSON parser and checks its shape: every key
present, every figure a number or null, no NaN or infinity. Prints each value as PATH=JSON, one a
line, for the calling test to compare; exits 1 naming the first fault.
Usage: check_summary.py SUMMARY_JSON
"""
import json
import sys

ERROR_KEYS = ["cep50", "cep95", "cep99", "vertical95", "drms", "twodrms", "mean_east", "mean_north", "mean_up",
              "sd_east", "sd_north", "sd_up"]
TTFF_KEYS = ["runs", "failures", "min", "median", "mean", "p90", "p95", "max", "sd"]
SHAPE = {
    "fixes": ["total", "2d", "3d", "dgps", "rtk_float", "rtk_fixed"],
    "reference": ["lat", "lon", "height", "source", "survey"],
    "accuracy": ERROR_KEYS,
    "precision": ERROR_KEYS,
    "receiver_estimate": None,
    "ttff": {kind: TTFF_KEYS for kind in ["hot", "warm", "cold", "factory"]},
}


def refuse(constant):
    raise ValueError(f"{constant} is not JSON")


def check(value, shape, path):
    if isinstance(shape, list):
        if not isinstance(value, dict) or sorted(value) != sorted(shape):
            sys.exit(f"{path}: keys {sorted(value) if isinstance(value, dict) else value} are not {sorted(shape)}")
        for key in shape:
            if not isinstance(value[key], (int, float, str, type(None), dict)):
                sys.exit(f"{path}.{key}: {value[key]!r} is neither a number nor null")
    elif isinstance(shape, dict):
        if not isinstance(value, dict) or sorted(value) != sorted(shape):
            sys.exit(f"{path}: keys are not {sorted(shape)}")
        for key, inner in shape.items():
            check(value[key], inner, f"{path}.{key}")


def flatten(value, path, out):
    if isinstance(value, dict):
        for key, inner in value.items():
            flatten(inner, f"{path}.{key}" if path else key, out)
    else:
        out.append(f"{path}={json.dumps(value)}")


def main():
    with open(sys.argv[1], encoding="utf-8") as file:
        summary = json.load(file, parse_constant=refuse)
    check(summary, SHAPE, "summary")
    lines = []
    flatten(summary, "", lines)
    print("\n".join(lines))


if __name__ == "__main__":
    main()
