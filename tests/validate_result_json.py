#!/usr/bin/env python3
"""Checks JSON documents written by `tavo solve --json` against docs/result.schema.json.

Usage: validate_result_json.py SCHEMA FILE...

Besides the schema, each document's solution is compared with its own texts:
every column's status, value and reduced cost and every listed row's status,
activity and first-goal dual price must be the figures of the columns and rows
reports (to the reports' 10 significant digits).
Exit status: 0 all valid, 1 a document is not valid (the reasons on standard
error), 2 usage or unreadable file, 77 the jsonschema module is missing (the
test that runs this script is then skipped).
"""
import json
import sys


def close(a, b):
    return abs(a - b) <= 1e-9 * max(1.0, abs(a), abs(b))


def table_lines(text, titles, count):
    """The tab-split lines of a report table after its titles and rule."""
    lines = text.split("\r\n")
    for k, line in enumerate(lines):
        if line == titles:
            return [l.split("\t") for l in lines[k + 2:k + 2 + count]]
    return []


def consistency_errors(doc):
    sol = doc.get("solution")
    if sol is None:
        return []
    errors = []
    texts = doc["texts"]
    cols = table_lines(texts["columns"], "Number\tColumnsName\tAt\tActivity\tReducedCost", len(sol["columns"]))
    if len(cols) != len(sol["columns"]):
        return ["columns report has fewer lines than the document has columns"]
    for col, f in zip(sol["columns"], cols):
        status = f[2] if f[2] in ("BD", "BS") else ""
        if col["status"] != status or not close(col["value"], float(f[3])) or not close(col["reduced_cost"], float(f[4])):
            errors.append(f"column {col['number']}: {col} against the report's {f}")
    rows = table_lines(texts["rows"], "RowName\tAt\tSlackActivity\tDualPrice", len(sol["rows"]))
    if len(rows) != len(sol["rows"]):
        return errors + ["rows report has fewer lines than the document has rows"]
    for row, f in zip(sol["rows"], rows):
        status = f[1] if f[1] in ("BS", "EQ") else ""
        if row["status"] != status or not close(row["activity"], float(f[2])) or not close(row["dual_price"], float(f[3])):
            errors.append(f"row {row['label']}: {row} against the report's {f}")
        if row["dual_prices"][:1] != [row["dual_price"]] and row["dual_prices"]:
            errors.append(f"row {row['label']}: first of dual_prices is not dual_price")
    return errors


def main(argv):
    if len(argv) < 3:
        print("usage: validate_result_json.py SCHEMA FILE...", file=sys.stderr)
        return 2
    try:
        import jsonschema
    except ImportError:
        print("python3-jsonschema is not installed", file=sys.stderr)
        return 77
    try:
        with open(argv[1], encoding="utf-8") as f:
            schema = json.load(f)
        validator_class = jsonschema.validators.validator_for(schema)
        validator_class.check_schema(schema)
        validator = validator_class(schema)
    except (OSError, ValueError, jsonschema.exceptions.SchemaError) as e:
        print(f"{argv[1]}: {e}", file=sys.stderr)
        return 2
    failed = False
    for path in argv[2:]:
        try:
            with open(path, encoding="utf-8") as f:
                document = json.load(f)
        except (OSError, ValueError) as e:
            print(f"{path}: {e}", file=sys.stderr)
            return 2
        for error in sorted(validator.iter_errors(document), key=lambda e: list(e.absolute_path)):
            where = "/".join(str(p) for p in error.absolute_path)
            print(f"{path}: at /{where}: {error.message}", file=sys.stderr)
            failed = True
        for message in consistency_errors(document):
            print(f"{path}: {message}", file=sys.stderr)
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
