"""ZERIZEVAR_SARIF on cases that end clean, with warnings, with errors, fatally,
internally and without a listing: the log is valid SARIF 2.1.0 and holds the
messages of the listing (of standard error when there is none) in order, with
severity, level and file position. Without the variable a run leaves the same
files, byte for byte, less the log.
    check_sarif.py <zerizevar> <installation dir> <cases dir>
"""
import codecs, json, os, re, shlex, shutil, subprocess, sys, tempfile

try:
    import jsonschema
except ImportError:
    print("SKIP: validating SARIF logs needs the Debian package python3-jsonschema")
    sys.exit(77)

codecs.register_error("latin1", lambda e: (chr(e.object[e.start]), e.start + 1))  # as the log does
PREFIX = re.compile(r"^Zolmex-([IWEFS])-([A-Z0-9]+),  ", re.M)
POSITION = re.compile(r"\[(.*):(\d+)\] ")
LEVELS = {"I": "note", "W": "warning", "E": "error", "F": "error", "S": "error"}
CASES = [("run_clean", "t.lis"), ("native_pp_warnings", "s.lis"), ("check_positions_in_includes", "m.lis"),
         ("native_missing_include", "s.lis"), ("script_err_virtual_callback", "script.lis"),
         ("driver_listing_not_creatable", ".stderr")]
compiler, install, cases = (os.path.abspath(argument) for argument in sys.argv[1:4])
with open(os.path.join(os.path.dirname(__file__), "sarif-schema-2.1.0.json"), encoding="utf-8") as file:
    schema = json.load(file)
environment = dict(os.environ, ZOLMEXDIR=install, LANG="C", LC_ALL="", SOURCE_DATE_EPOCH="1700000000")
environment.pop("ZERIZEVAR_SARIF", None)


def run(case, directory, **variables):
    shutil.copytree(os.path.join(cases, case), directory)
    with open(os.path.join(directory, "cmd")) as cmd, open(os.path.join(directory, ".stderr"), "wb") as stderr:
        return subprocess.run([compiler, *shlex.split(cmd.read())], cwd=directory, stdout=subprocess.DEVNULL,
                              stderr=stderr, env=dict(environment, **variables)).returncode


def listed(path):
    with open(path, "rb") as file:
        text = file.read().decode("utf-8", "latin1")
    starts = list(PREFIX.finditer(text))
    for start, end in zip(starts, [following.start() for following in starts[1:]] + [len(text)]):
        message = text[start.end():end].removesuffix("\n")
        position = POSITION.match(message)
        yield start[1], start[2], LEVELS[start[1]], message, position and (position[1], int(position[2]))


def logged(result):  # the cases' file names are relative and need no escaping in a URI
    physical = result.get("locations", [{}])[0].get("physicalLocation")
    location = physical and (physical["artifactLocation"]["uri"], physical.get("region", {}).get("startLine"))
    return result["properties"]["severity"], result["ruleId"], result["level"], result["message"]["text"], location


failures = []
with tempfile.TemporaryDirectory() as work:
    for case, listing in CASES:
        directory = os.path.join(work, case)
        status = run(case, directory, ZERIZEVAR_SARIF="run.sarif")
        with open(os.path.join(directory, "run.sarif"), encoding="utf-8") as file:
            log = json.load(file)
        jsonschema.validate(log, schema)
        results = [logged(result) for result in log["runs"][0]["results"]]
        expected = list(listed(os.path.join(directory, listing)))
        wrong = [f"  logged {got}\n  listed {want}" for got, want in zip(results, expected)
                 if got[:4] != want[:4] or want[4] not in (None, got[4])]
        code = log["runs"][0]["invocations"][0]["exitCode"]
        if code != status or len(results) != len(expected) or wrong:
            failures.append(f"{case}: {len(results)} results for {len(expected)} messages, exit code {code} "
                            f"for {status}\n" + "\n".join(wrong))
        if any("zvtmp" in name for name in os.listdir(directory)):
            failures.append(f"{case}: a temporary file is left")
    # The same run in the same directory with and without the variable.
    same = os.path.join(work, "same")
    run("run_clean", same, ZERIZEVAR_SARIF="run.sarif")
    os.remove(os.path.join(same, "run.sarif"))
    os.rename(same, same + ".with")
    run("run_clean", same)
    if subprocess.run(["diff", "-r", same + ".with", same], stdout=subprocess.DEVNULL).returncode != 0:
        failures.append("run_clean: the files differ with and without ZERIZEVAR_SARIF")
print("\n".join(failures) or "SARIF logs: ok")
sys.exit(1 if failures else 0)
