#!/usr/bin/env python3
"""results.py TIER TESTS_JSON JUNIT CASES_DIR [HOW]

Prints the line of one tier from what its ctest run left: CTest's JUnit file
(every case, passed, failed or skipped, and why) and the XML each
GoogleTest program wrote (its GTEST_OUTPUT, from `ctest --show-only=json-v1`
in TESTS_JSON), so that a program counts its tests one by one. A program
that failed without a failed test of its own (a crash, no test run) or left
no result file counts as one failure; the Wine
session fixtures (wine_*) count only when they fail. Failed cases are named
with the folder they kept under CASES_DIR. HOW, where given, says how the tier's programs ran (natively, emulated: ...).
Appends "passed failed skipped"
to $TAMRIX_TOTALS; exits 1 on any failure.
"""
import json
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    root = ET.parse(path).getroot()
    passed, failed, skipped = 0, [], 0
    for case in root.iter("testcase"):
        if case.get("status") == "notrun":  # DISABLED_
            continue
        if case.find("skipped") is not None or case.get("result") == "skipped":
            skipped += 1
        elif case.find("failure") is not None or case.find("error") is not None:
            failed.append(f"{case.get('classname')}.{case.get('name')}")
        else:
            passed += 1
    return passed, failed, skipped


def why(case):
    """The reason CTest gives, plus the harness's own words from the output."""
    element = case.find("failure")
    if element is None:
        element = case.find("skipped")
    reasons = [element.get("message", "")] if element is not None else []
    out = case.findtext("system-out") or ""
    for line in out.splitlines():
        if line.startswith(("no test matches", "the program ended", "wine-run: ", "wine-session: ")) \
                and "kept" not in line:
            reasons.append(line.strip())
    return "; ".join(r for r in reasons if r) or "failed"


def result_files(tests_json):
    """Case name -> the XML file its GoogleTest program writes."""
    files = {}
    with open(tests_json) as f:
        for test in json.load(f)["tests"]:
            for prop in test.get("properties", []):
                for var in prop["value"] if prop["name"] == "ENVIRONMENT" else []:
                    if var.startswith("GTEST_OUTPUT=xml:"):
                        path = var[len("GTEST_OUTPUT=xml:"):]
                        files[test["name"]] = path[2:] if path.startswith("Z:") else path
    return files


def main(tier, tests_json, junit, cases, how=""):
    results = result_files(tests_json)
    passed = skipped = 0
    failed = []
    programs = 0
    for case in ET.parse(junit).getroot().iter("testcase"):
        name, status = case.get("name"), case.get("status")
        skip = status == "notrun" and "SKIP" in why(case)
        fail = status not in ("run",) and not skip
        if name.startswith("wine_"):
            if fail:
                failed.append(f"{name}: {why(case)}")
            continue
        programs += 1
        xml = results.get(name)
        p, f, s = 0, [], 0
        if xml and os.path.exists(xml):
            try:
                p, f, s = gtest_counts(xml)
            except ET.ParseError:
                f = ["its result file is not valid XML"]
        elif xml and status == "run":
            f = [f"it wrote no result file ({xml})"]
        elif status == "run":
            p = 1
        if fail and not f:
            f = [why(case)]
        if skip and not (p or f or s):
            s = 1
        passed, skipped = passed + p, skipped + s
        folder = os.path.join(cases, name)
        kept = f" (kept {folder})" if f and os.path.isdir(folder) else ""
        failed += [f"{name}: {x}{kept}" for x in f]
    line = f"{tier:<15} {passed:5d} passed, {len(failed):4d} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(f"{line}  ({programs} programs{'; ' + how if how else ''})")
    for n in failed[:20]:
        print(f"    FAILED {n}")
    with open(os.environ.get("TAMRIX_TOTALS", "/dev/null"), "a") as out:
        out.write(f"{passed} {len(failed)} {skipped}\n")
    return 1 if failed or not programs else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:6]))
