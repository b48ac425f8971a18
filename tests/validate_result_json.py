#!/usr/bin/env python3
"""Checks JSON documents written by `tavo solve --json` against docs/result.schema.json.

Usage: validate_result_json.py SCHEMA FILE...
Exit status: 0 all valid, 1 a document is not valid (the reasons on standard
error), 2 usage or unreadable file, 77 the jsonschema module is missing (the
test that runs this script is then skipped).
"""
import json
import sys


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
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
