#!/usr/bin/env python3
"""The one place that reads and writes case results (gtest-style XML).

results.py record XML NAME EXIT PROGRAM_XML [FAILURE...]
    Writes the result of one registered case to XML: the GoogleTest XML the
    program wrote (PROGRAM_XML), or one testcase named NAME when it wrote
    none, plus one failed testcase for each FAILURE (a check of the runner
    that failed) and one when the program exited with failure without a
    failed testcase of its own (a crash). EXIT 77 means skipped. Prints the
    exit code the case ends with: 0 passed, 77 skipped, 1 failed.

results.py summary TIER DIR NAMES_FILE
    Prints one line for the tier from the XML files in DIR; every case named
    in NAMES_FILE (one per line) that left no XML counts as one failure (it
    did not run). Appends "passed failed skipped" to $TAMRIX_TOTALS.
"""
import os
import sys
import xml.etree.ElementTree as ET


def counts(root):
    passed, failed, skipped = 0, [], 0
    for case in root.iter("testcase"):
        if case.get("status") == "notrun":  # filtered out: run by another case
            continue
        if case.find("skipped") is not None or case.get("result") == "skipped":
            skipped += 1
        elif case.find("failure") is not None or case.find("error") is not None:
            failed.append(f"{case.get('classname')}.{case.get('name')}")
        else:
            passed += 1
    return passed, failed, skipped


def record(xml, name, exit_code, program_xml, failures):
    exit_code = int(exit_code)
    root = None
    if os.path.exists(program_xml):
        try:
            root = ET.parse(program_xml).getroot()
        except ET.ParseError:
            failures.append("the program's result file is not valid XML")
    if root is None:
        root = ET.Element("testsuites")
        suite = ET.SubElement(root, "testsuite", name="case")
        case = ET.SubElement(suite, "testcase", name=name, classname="case")
        if exit_code == 77:
            ET.SubElement(case, "skipped", message="skipped")
        elif exit_code != 0 and not failures:
            ET.SubElement(case, "failure", message=f"exit code {exit_code}")
    else:
        _, failed, _ = counts(root)
        if exit_code not in (0, 77) and not failed and not failures:
            failures.append(f"the program exited with code {exit_code}")
    if failures:
        suite = ET.SubElement(root, "testsuite", name="checks")
        for i, message in enumerate(failures):
            case = ET.SubElement(suite, "testcase", name=f"{name}_check{i + 1}", classname="checks")
            ET.SubElement(case, "failure", message=message)
    os.makedirs(os.path.dirname(xml) or ".", exist_ok=True)
    ET.ElementTree(root).write(xml, encoding="utf-8", xml_declaration=True)
    passed, failed, skipped = counts(root)
    if failed:
        return 1
    return 77 if exit_code == 77 and passed == 0 else 0


def summary(tier, directory, names_file):
    with open(names_file) as f:
        names = [line.strip() for line in f if line.strip()]
    passed = skipped = 0
    failed = []
    for name in names:
        xml = os.path.join(directory, name + ".xml")
        try:
            p, fl, s = counts(ET.parse(xml).getroot())
        except (OSError, ET.ParseError):
            p, fl, s = 0, ["did not run or left no result"], 0
        passed += p
        skipped += s
        failed += [f"{name}: {f}" for f in fl]
    line = f"{tier:<15} {passed:5d} passed, {len(failed):4d} failed"
    if skipped:
        line += f", {skipped} skipped"
    print(f"{line}  ({len(names)} programs)")
    for n in failed[:20]:
        print(f"    FAILED {n}")
    with open(os.environ.get("TAMRIX_TOTALS", "/dev/null"), "a") as f:
        f.write(f"{passed} {len(failed)} {skipped}\n")
    return 1 if failed or not names else 0


if __name__ == "__main__":
    if sys.argv[1] == "record":
        print(record(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5], sys.argv[6:]))
    elif sys.argv[1] == "summary":
        sys.exit(summary(sys.argv[2], sys.argv[3], sys.argv[4]))
    else:
        sys.exit(f"results.py: unknown command {sys.argv[1]}")
